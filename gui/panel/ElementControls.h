#pragma once
// The widgets that show panel elements. Each is a small class so that code can
// tell them apart by type (qobject_cast) as well as by name prefix:
//   ElementPanel       - the button panel: raised frame, caption right-aligned
//   ElementPicture     - a picture stretched to the control's bounds
//   ElementShape       - the editor's silver cross-hatched rectangle
//   ElementStaticText  - the text label
//   ElementTrackBar    - the run-mode slider
//
// Common to all of them:
//   - the "tag" dynamic property holds the element's slot (ControlTag());
//   - pictures and shapes (IsGraphicControl) stand for
//     the non-windowed controls of the original toolkit: they always lie below
//     the windowed ones (panels, texts, sliders) and are written first when the
//     panel is saved (see PanelViews);
//   - mouse events never propagate to the parent window (Qt::WA_NoMousePropagation):
//     the editor's window handlers must not see moves or presses over elements;
//   - a click is reported on release over the control after a press on it, a
//     double-click on the second press; the release that follows a double-click
//     is no click (press, release -> click; press -> double-click; release -> nothing).

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPen>
#include <QSlider>
#include <QWidget>
#include <functional>

namespace quelnet {

// Handler attached to a control's click or double-click; receives the control.
using ControlHandler = std::function<void(QWidget* sender)>;

// Slot of the element behind a control ("tag" property); -1 when unset.
int ControlTag(const QObject* control);
void SetControlTag(QObject* control, int tag);
// True for pictures and shapes (the original toolkit's non-windowed controls).
bool IsGraphicControl(const QObject* control);

// Turns presses and releases into click and double-click calls.
class ClickTracker {
public:
    ControlHandler OnClick;
    ControlHandler OnDblClick;

    void Press(QMouseEvent* e);
    // Returns after the handler; `self` may have been scheduled for deletion.
    void Release(QWidget* self, QMouseEvent* e);
    void DoubleClick(QWidget* self, QMouseEvent* e);

private:
    bool m_pressed = false;
};

// Button panel (kind 0). Caption drawn right-aligned inside the frame, keeping
// trailing blanks (the caption ends in two blanks so it clears the edge).
class ElementPanel : public QFrame {
    Q_OBJECT
public:
    explicit ElementPanel(QWidget* parent = nullptr);

    void SetCaption(const QString& caption);
    QString Caption() const { return m_caption; }

    ClickTracker Clicks;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    QString m_caption;
    // The caption's width and what it was measured for.
    int m_captionWidth = -1;
    QFont m_captionFont;
    int m_captionDpi = 0;
};

// Picture with content stretched to the control's bounds (no aspect ratio kept).
class ElementPicture : public QWidget {
    Q_OBJECT
public:
    explicit ElementPicture(QWidget* parent = nullptr);

    void SetPicture(const QImage& image);
    void ClearPicture();
    const QImage& Picture() const { return m_image; }
    bool HasPicture() const { return !m_image.isNull(); }

    ClickTracker Clicks;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    QImage m_image;
};

// Rectangle shape: no outline, silver (192,192,192) diagonal cross-hatch brush.
class ElementShape : public QWidget {
    Q_OBJECT
public:
    explicit ElementShape(QWidget* parent = nullptr);

    QBrush Brush() const { return m_brush; }
    QPen Pen() const { return m_pen; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QBrush m_brush;
    QPen m_pen;
};

// Static text (kind 3). Opaque; left/top aligned; single line.
class ElementStaticText : public QLabel {
    Q_OBJECT
public:
    explicit ElementStaticText(QWidget* parent = nullptr);

    // Sunken one-pixel border (editor) or none (run mode).
    void SetSunken(bool sunken);
    bool Sunken() const { return frameShadow() == QFrame::Sunken && frameShape() != QFrame::NoFrame; }
    // Auto-size: the label takes the size of its text from its top-left
    // corner, now and whenever its font or style changes.
    void SetAutoSize(bool on);
    bool AutoSize() const { return m_sizing == Sizing::ToText; }
    // Whole text (editor): the label grows, from its top-left corner,
    // wherever its rectangle is smaller than its text, so that the editor
    // shows the text as the run mode does; now and whenever its font or style
    // changes. The element keeps its own size (ElementSize(): the size the
    // label had when this was switched on), which the panel file stores and
    // the editor's frames take.
    void SetWholeText(bool on);
    bool WholeText() const { return m_sizing == Sizing::AtLeastText; }
    QSize ElementSize() const { return WholeText() ? m_elementSize : size(); }

    ClickTracker Clicks;

protected:
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    enum class Sizing { Fixed, ToText, AtLeastText };
    void ApplySizing();
    Sizing m_sizing = Sizing::Fixed;
    QSize m_elementSize;
};

// Track bar (kind 4, run mode). Positions 0..steps; a vertical bar has
// position 0 at the top and the arrow keys move the thumb the way they point.
class ElementTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit ElementTrackBar(QWidget* parent = nullptr);

    // Range 0..steps (a negative count gives the single position 0). Tick
    // marks every position while they fit, sparser for long ranges.
    void SetSteps(int steps);
    void SetVertical(bool vertical);
};

} // namespace quelnet
