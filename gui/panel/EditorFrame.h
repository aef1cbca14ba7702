#pragma once
// EditorFrame: the dotted rectangle the editor shows in place of an element
// that is being placed (blue), moved or resized (red) or edited (olive). It
// has a clear interior, so the panel shows through it, and it hands its
// mouse-down and, where wanted, mouse-move events to the editor with
// coordinates relative to the frame.

#include <QColor>
#include <QWidget>
#include <functional>

namespace quelnet {

class EditorFrame : public QWidget {
    Q_OBJECT
public:
    using MouseHandler = std::function<void(EditorFrame* frame, Qt::MouseButton button, int x, int y)>;

    EditorFrame(QWidget* panel, const QColor& pen, int tag, const QRect& rect);

    // Slot index of the element the frame stands for (moving and edit frames).
    int Tag() const { return m_tag; }
    QColor PenColor() const { return m_pen; }

    // An empty handler swallows the event: moves over the edit frame are not
    // reported to the window.
    void SetMouseDown(MouseHandler handler) { m_mouseDown = std::move(handler); }
    void SetMouseMove(MouseHandler handler);

    static QColor PlacingColor() { return QColor(0, 0, 255); }
    static QColor MovingColor() { return QColor(255, 0, 0); }
    static QColor EditingColor() { return QColor(128, 128, 0); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor m_pen;
    int m_tag = 0;
    MouseHandler m_mouseDown;
    MouseHandler m_mouseMove;
};

} // namespace quelnet
