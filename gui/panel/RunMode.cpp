#include "gui/panel/RunMode.h"

#include "core/link/DeviceLink.h"
#include "gui/panel/PanelViews.h"

#include <QSlider>

namespace quelnet {

RunMode::RunMode(PanelViews& views, ElementRecords& records, TfmCommon& common, QStatusBar* statusBar,
                 QTimer* pollTimer)
    : m_views(views), m_statusBar(statusBar), m_pollTimer(pollTimer),
      m_poller(records, common, m_clock, *this) {}

void RunMode::OutputClick(QWidget* sender) {
    // The button's picture carries its panel's name, so both lead to the button.
    if (sender)
        m_poller.OutputClick(sender->objectName());
}

void RunMode::SliderMoved(QWidget* sender) {
    if (const auto* slider = qobject_cast<QSlider*>(sender))
        m_poller.SliderChange(slider->objectName(), slider->value());
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
    if (m_pollTimer)
        m_pollTimer->stop();
    if (!m_statusBar)
        return;
    m_statusBar->showMessage(text);
    m_statusBar->show();
}

} // namespace quelnet
