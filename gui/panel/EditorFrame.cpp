#include "gui/panel/EditorFrame.h"

#include <QMouseEvent>
#include <QPainter>

namespace quelnet {

EditorFrame::EditorFrame(QWidget* panel, const QColor& pen, int tag, const QRect& rect)
    : QWidget(panel), m_pen(pen), m_tag(tag) {
    // No name: frames are not elements and the panel file never sees them.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(rect);
}

void EditorFrame::SetMouseMove(MouseHandler handler) {
    m_mouseMove = std::move(handler);
    // Moves without a pressed button reach a widget only when it tracks the mouse.
    setMouseTracking(bool(m_mouseMove));
}

void EditorFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QPen pen(m_pen, 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void EditorFrame::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (m_mouseDown)
        m_mouseDown(this, event->button(), pos.x(), pos.y());
}

void EditorFrame::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (m_mouseMove)
        m_mouseMove(this, Qt::NoButton, pos.x(), pos.y());
}

void EditorFrame::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

} // namespace quelnet
