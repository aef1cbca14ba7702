#include "gui/panel/RunMode.h"

#include "gui/panel/PanelViews.h"

#include <QSlider>
#include <utility>

namespace quelnet {

RunMode::RunMode(QWidget& window, PanelViews& views, ElementRecords& records, ICircuitIo& io,
                 QStatusBar* statusBar)
    : m_views(views), m_statusBar(statusBar), m_poller(records, io, m_clock, *this) {
    m_pollTimer.setParent(&window);
    m_pollTimer.setObjectName("Timer2");
    m_pollTimer.setInterval(100);
    QObject::connect(&m_pollTimer, &QTimer::timeout, this, &RunMode::PollTick);
}

// The timer leaves the window's children before the window goes.
RunMode::~RunMode() = default;

void RunMode::PollTick() {
    m_poller.Tick();
    RunWhenIdle();
}

void RunMode::OutputClick(QWidget* sender) {
    // The button's picture carries its panel's name, so both lead to the button.
    if (sender)
        m_poller.OutputClick(sender->objectName());
    RunWhenIdle();
}

void RunMode::SliderMoved(QWidget* sender) {
    if (const auto* slider = qobject_cast<QSlider*>(sender))
        m_poller.SliderChange(slider->objectName(), slider->value());
    RunWhenIdle();
}

void RunMode::StopWhenIdle(std::function<void()> then) {
    m_pollTimer.stop();
    m_poller.Halt();
    m_whenIdle = std::move(then);
    RunWhenIdle();
}

void RunMode::RunWhenIdle() {
    // A handler called while an exchange waits returns at once; the handler
    // that owns the exchange comes here again when it is over.
    if (m_poller.Busy() || !m_whenIdle)
        return;
    // From the event loop: the handler that called this is still on the stack.
    QTimer::singleShot(0, this, std::exchange(m_whenIdle, {}));
}

void RunMode::ShowDigital(int kind, int slot, bool state) {
    m_views.ShowDigital(kind, slot, state);
}

void RunMode::ShowAnalog(int slot, float value) {
    m_views.ShowAnalog(slot, value);
}

void RunMode::ClearPicture(int kind, int slot) {
    m_views.ClearPicture(kind, slot);
}

void RunMode::ClearStatus() {
    if (!m_statusBar)
        return;
    m_statusBar->clearMessage();
    m_statusBar->hide();
}

void RunMode::ErrorStop(const QString& text) {
    m_pollTimer.stop();
    if (!m_statusBar)
        return;
    m_statusBar->showMessage(text);
    m_statusBar->show();
}

} // namespace quelnet
