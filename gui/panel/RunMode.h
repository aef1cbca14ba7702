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
#include <functional>

class QWidget;

namespace quelnet {

class PanelViews;

class RunMode : public QObject, private IRunView {
public:
    // `statusBar` shows the error text after the error stop. The poll timer
    // (100 ms, object name "Timer2") is a child of `window` so that it can be
    // found by name; it runs from StartPolling until StopPolling or the error
    // stop.
    RunMode(QWidget& window, PanelViews& views, ElementRecords& records, ICircuitIo& io,
            QStatusBar* statusBar);
    ~RunMode() override;
    RunMode(const RunMode&) = delete;
    RunMode& operator=(const RunMode&) = delete;

    void StartPolling() { m_pollTimer.start(); }
    void StopPolling() { m_pollTimer.stop(); }
    bool Polling() const { return m_pollTimer.isActive(); }
    // One poll tick (the poll timer's timeout).
    void PollTick();
    // ElementOutputClick: a button panel, button picture or digital indicator picture.
    void OutputClick(QWidget* sender);
    // SliderChange: a track bar at its new position.
    void SliderMoved(QWidget* sender);

    bool Stopped() const { return m_poller.Stopped(); }

    // True while an exchange waits for its controller; the window keeps
    // painting meanwhile, and what would end the run mode has to wait.
    bool Exchanging() const { return m_poller.Busy(); }
    // Polling ends now (a running tick after the element it is reading);
    // `then` runs from the window's event loop once no exchange waits.
    void StopWhenIdle(std::function<void()> then);

private:
    void ShowDigital(int kind, int slot, bool state) override;
    void ShowAnalog(int slot, float value) override;
    void ClearPicture(int kind, int slot) override;
    void ClearStatus() override;
    void ErrorStop(const QString& text) override;
    // After every handler: what StopWhenIdle asked for, once nothing waits.
    void RunWhenIdle();

    PanelViews& m_views;
    QPointer<QStatusBar> m_statusBar;
    SystemTick m_clock;
    RunPoller m_poller;
    QTimer m_pollTimer;
    std::function<void()> m_whenIdle;
};

} // namespace quelnet
