#include "gui/common/WindowFrame.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace quelnet {

Qt::WindowFlags FixedDialogFlags(Qt::WindowType type) {
    return type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

QMargins FrameMargins(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

QRect OuterRect(const QWidget* window) {
    return window->geometry().marginsAdded(FrameMargins(window));
}

QRect ClientRectFor(const QRect& outer, const QMargins& frame) {
    return QRect(outer.left() + frame.left(), outer.top() + frame.top(),
                 std::max(0, outer.width() - frame.left() - frame.right()),
                 std::max(0, outer.height() - frame.top() - frame.bottom()));
}

void MoveOuterTo(QWidget* window, const QPoint& outerTopLeft) {
    const QMargins frame = FrameMargins(window);
    window->setGeometry(QRect(outerTopLeft + QPoint(frame.left(), frame.top()), window->size()));
}

FramedPlacement::FramedPlacement(QWidget* window) : QObject(window), m_window(window) {}

void FramedPlacement::WhenFramed(std::function<void()> step) {
    QWindow* handle = m_window->windowHandle();
    if (!handle || handle->isExposed()) {
        m_step = nullptr;
        step();
        return;
    }
    if (!m_step)
        handle->installEventFilter(this);
    m_step = std::move(step);
}

bool FramedPlacement::eventFilter(QObject* watched, QEvent* event) {
    QWindow* handle = m_window->windowHandle();
    if (m_step && watched == handle && event->type() == QEvent::Expose && handle->isExposed()) {
        handle->removeEventFilter(this);
        std::exchange(m_step, nullptr)();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quelnet
