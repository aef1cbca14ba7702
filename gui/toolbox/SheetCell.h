#pragma once
// The value cell of one sheet row: a plain edit, an editable drop-down of
// suggestions, a drop-down whose entries are the only choices, or an edit with
// a small "..." button that opens the row's picker.

#include "core/panel/SheetRows.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace quelnet {

class SheetCell : public QWidget {
    Q_OBJECT
public:
    SheetCell(EditStyle style, const QStringList& choices, const QString& value, QWidget* parent = nullptr);

    EditStyle Style() const { return m_style; }
    QString Text() const;
    // Writes the cell as a picker does; emits Changed when the text differs.
    void SetText(const QString& text);

    QLineEdit* LineEdit() const { return m_edit; }     // where text is typed (read-only in a fixed list)
    QComboBox* Combo() const { return m_combo; }       // lists only
    QToolButton* PickButton() const { return m_pick; } // pickers only

signals:
    void Changed(const QString& text);
    // The user finished with the value: Return, the focus left the cell, or
    // an entry was picked from the list.
    void EditEnded();
    void PickClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditStyle m_style;
    QLineEdit* m_edit = nullptr;
    QComboBox* m_combo = nullptr;
    QToolButton* m_pick = nullptr;
};

} // namespace quelnet
