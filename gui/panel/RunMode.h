#pragma once
// The panel window's run mode: turns the poll timer, clicks on buttons and
// digital indicators, and slider moves into calls on the poll logic
// (RunPoller), and shows what it decides on the element pictures and the
// status bar. Owned by TfmVQuelnet in run mode.

#include "core/panel/RunPoller.h"
#include "core/panel/SystemTick.h"

#include <QPointer>
#include <QStatusBar>
#include <QTimer>

class QWidget;

namespace quelnet {

class PanelViews;
class TfmCommon;

class RunMode : private IRunView {
public:
    // `statusBar` shows the error text after the error stop; `pollTimer` is the
    // window's poll timer (Timer2), stopped for good by the error stop.
    RunMode(PanelViews& views, ElementRecords& records, TfmCommon& common, QStatusBar* statusBar,
            QTimer* pollTimer);
    RunMode(const RunMode&) = delete;
    RunMode& operator=(const RunMode&) = delete;

    // Timer2Timer: one poll tick.
    void PollTick() { m_poller.Tick(); }
    // ElementOutputClick: a button panel, button picture or digital indicator picture.
    void OutputClick(QWidget* sender);
    // SliderChange: a track bar at its new position.
    void SliderMoved(QWidget* sender);

    bool Stopped() const { return m_poller.Stopped(); }

private:
    void ShowDigital(int kind, int slot, bool state) override;
    void ShowAnalog(int slot, float value) override;
    void ClearPicture(int kind, int slot) override;
    void ClearStatus() override;
    void ErrorStop(const QString& text) override;

    PanelViews& m_views;
    QPointer<QStatusBar> m_statusBar;
    QPointer<QTimer> m_pollTimer;
    SystemTick m_clock;
    RunPoller m_poller;
};

} // namespace quelnet
