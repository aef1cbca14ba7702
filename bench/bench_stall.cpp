// How long the window's event loop stalls while the device link waits for a
// slow or a silent controller. A 10 ms heartbeat timer runs inside the
// program; the counter max_stall_ms is the longest gap between two of its
// ticks (or between the start or end of the measured work and the nearest
// tick), stall_ended_at_ms when that gap ended. The baseline is the same
// heartbeat in an idle event loop.
//
//  - RunTick: one run-mode poll tick of a window with one digital indicator,
//    against the simulator with a reply delay of 100 or 1,000 ms, and against
//    a controller that accepts the connection and never answers (5,000 ms
//    time-out, then the error stop).
//  - ConfigRead: the settings window's read of the configuration and texts
//    (160 pages, events pumped between pages) against the simulator with a
//    reply delay of 60 ms per page.
// Each comes as the window has it (the link waits on a worker thread) and as
// a link that blocks the window's thread ("Blocking").
#include "RunWindow.h"
#include "core/link/DeviceLink.h"
#include "core/link/LinkWait.h"
#include "core/panel/PanelFile.h"
#include "gui/maintenance/LinkAdapters.h"
#include "gui/panel/PanelWindow.h"
#include "sim/SimThread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace quelnet;

constexpr const char* Password = "3958";

class Heartbeat {
public:
    Heartbeat() {
        m_timer.setInterval(10);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Beat(); });
    }
    void Start() {
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // The longest gap since Start, in milliseconds.
    double Stop() {
        Beat();
        m_timer.stop();
        return double(m_longest) / 1e6;
    }
    double Longest() const { return double(m_longest) / 1e6; }
    // When the longest gap ended, in milliseconds after Start.
    double LongestEndedAt() const { return double(m_longestAt) / 1e6; }

private:
    void Beat() {
        const qint64 now = m_clock.nsecsElapsed();
        if (now - m_last > m_longest) {
            m_longest = now - m_last;
            m_longestAt = now;
        }
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_longestAt = 0;
};

void Report(benchmark::State& state, const Heartbeat& beat) {
    state.counters["max_stall_ms"] = beat.Longest();
    state.counters["stall_ended_at_ms"] = beat.LongestEndedAt();
}

// The event loop with nothing to do but the heartbeat, for 5 s: as long as
// the wait for a silent controller, so that the machine's own hiccups weigh
// on both alike.
void BM_StallIdle(benchmark::State& state) {
    Heartbeat beat;
    for (auto _ : state) {
        beat.Start();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        beat.Stop();
    }
    Report(state, beat);
}

// A run-mode window over one digital indicator.
std::unique_ptr<bench::RunWindow> RunPanel(quint16 port, bool blocking) {
    return std::make_unique<bench::RunWindow>(
        [port](const QTemporaryDir&) {
            return QList<bench::Block>{{"idg",
                                        QRect(10, 10, 32, 32),
                                        {"idho=127.0.0.1", QString("idpr=%1").arg(port),
                                         QString("idps=") + Password, "idic=IN1", "idim=0", "idfr=100"}}};
        },
        blocking);
}

void RunTickAgainstDelay(benchmark::State& state, bool blocking) {
    sim::SimConfig config;
    config.faults.replyDelayMs = int(state.range(0));
    sim::SimThread sim(config);
    if (!sim.Start()) {
        state.SkipWithError("simulator");
        return;
    }
    const auto panel = RunPanel(sim.TcpPort(), blocking);
    Heartbeat beat;
    for (auto _ : state) {
        beat.Start();
        panel->Tick();
        beat.Stop();
    }
    if (panel->Stopped())
        state.SkipWithError("the poll stopped with an error");
    Report(state, beat);
}

void RunTickAgainstSilence(benchmark::State& state, bool blocking) {
    QTcpServer silent; // takes connections into its backlog and never answers
    if (!silent.listen(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("listen");
        return;
    }
    Heartbeat beat;
    for (auto _ : state) {
        state.PauseTiming();
        const auto panel = RunPanel(silent.serverPort(), blocking);
        state.ResumeTiming();
        beat.Start();
        panel->Tick();
        beat.Stop();
        if (!panel->Stopped())
            state.SkipWithError("no error stop");
    }
    Report(state, beat);
}

void BM_StallRunTickSlow(benchmark::State& state) {
    RunTickAgainstDelay(state, false);
}
void BM_StallRunTickSlowBlocking(benchmark::State& state) {
    RunTickAgainstDelay(state, true);
}
void BM_StallRunTickSilent(benchmark::State& state) {
    RunTickAgainstSilence(state, false);
}
void BM_StallRunTickSilentBlocking(benchmark::State& state) {
    RunTickAgainstSilence(state, true);
}

void ConfigRead(benchmark::State& state, bool blocking) {
    sim::SimConfig config;
    config.faults.replyDelayMs = 60;
    sim::SimThread sim(config);
    if (!sim.Start()) {
        state.SkipWithError("simulator");
        return;
    }
    TfmCommon common;
    common.SetLinkWait(blocking ? nullptr : &EventLoopWait());
    UnshownLog log;
    struct : IProgress {
        void SetMaximum(int m) override { max = m; }
        int Maximum() const override { return max; }
        void SetPosition(int p) override { pos = p; }
        int Position() const override { return pos; }
        int max = 0, pos = 0;
    } progress;
    WindowEventPump pump;
    Heartbeat beat;
    for (auto _ : state) {
        QByteArray conf, texts;
        beat.Start();
        const bool done = common.GetConfig("127.0.0.1", QString::number(sim.TcpPort()), Password, log, progress,
                                           conf, texts, &pump);
        beat.Stop();
        if (!done)
            state.SkipWithError("transfer failed");
    }
    Report(state, beat);
}

void BM_StallConfigRead(benchmark::State& state) {
    ConfigRead(state, false);
}
void BM_StallConfigReadBlocking(benchmark::State& state) {
    ConfigRead(state, true);
}

} // namespace

BENCHMARK(BM_StallIdle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_StallRunTickSlow)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(BM_StallRunTickSlowBlocking)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(BM_StallRunTickSilent)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_StallRunTickSilentBlocking)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_StallConfigRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_StallConfigReadBlocking)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
