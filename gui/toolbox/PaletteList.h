#pragma once
// The palette list of the toolbox: the five element kinds as 32x32 icons.
// Pressing the mouse on the list and moving starts a drag whose source is
// the list itself; the panel window accepts a drop only from this list.
//
// For the panel window:
//   - the drag carries the MIME type PaletteMimeType (its data: the item
//     index as decimal text, "-1" when none was selected);
//   - IsPaletteSource(event->source()) tells that the drag comes from the palette;
//   - the kind to place is TfmQuelnetTool::ObjectType, read at drop time.

#include <QListWidget>
#include <functional>

class QDrag;

namespace quelnet {

inline constexpr char PaletteMimeType[] = "application/x-quelnet-palette-item";

class PaletteList : public QListWidget {
    Q_OBJECT
public:
    explicit PaletteList(QWidget* parent = nullptr);

    // Clears the list and adds the five kinds in kind order; nothing selected.
    void Rebuild();

    // Runs a started drag; by default QDrag::exec. Tests replace it, since a
    // real drag blocks until the mouse is released.
    using DragRunner = std::function<void(QDrag*)>;
    static DragRunner& Runner();
    static void RestoreDefaultRunner();

signals:
    // A drag starts; `index` is the selected item (-1 when none).
    void DragStarting(int index);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;

private:
    int SelectedIndex() const;

    bool m_pressedOnEmpty = false; // a drag may also start from the list's free area
    QPoint m_pressPos;
};

// True when a drag's source is the toolbox palette.
bool IsPaletteSource(const QObject* source);

} // namespace quelnet
