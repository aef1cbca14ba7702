// What the command line adds to a back-up of one controller, against a
// simulated controller on 127.0.0.1 that answers at once (the worst case for
// the ratio: a real controller takes far longer per page, the tool's own cost
// does not grow with it):
//   - BM_Transfer: the configuration transfer called directly (GetConfig);
//   - BM_BackupThroughCore: the settings job's back-up called directly, with
//     a silent front end: identification, the transfer, both files written
//     and replaced (synced to disk), i.e. the same work without a command line;
//   - BM_CliInProcess: `quelnetctl backup` run in-process (RunTool);
//   - BM_CliProgram: `quelnetctl backup`, the program, one process per run;
//   - the plain spawn: /bin/true started and awaited the same way (QProcess
//     from this process, which is large and has threads), i.e. what starting
//     any program costs here; and `quelnetctl --version`, the program's own
//     start without a command to run.
// BM_Ratios runs them back to back in every iteration, so that the load of
// the machine weighs on all alike, and reports the mean times and the ratios;
// its argument is the simulator's reply delay in milliseconds (0: at once;
// 1: a controller that takes a millisecond per page, still quick).
// BM_CallCost measures the cost of a call within the program alone:
// `quelnetctl backup --hosts` with one controller and with three (each its own
// instant simulator), back to back in every iteration. Every further
// controller adds the same work, so the call itself (start, set-up, exit) is
// what the one-controller run takes beyond one controller's share. BM_Ratios'
// fixed cost sets the program against a transfer run inside the benchmark,
// and an instant controller's 170 round trips take from under 5 to over 10 ms
// there depending on whether the processors were idle; the line through 1 and
// 3 controllers keeps both ends in the program's own conditions.
// Times are wall-clock: the work happens on the simulator's thread and in the
// child process as much as on the benchmark's own thread.
#include "cli/Console.h"
#include "cli/Tool.h"

#include "core/jobs/SettingsJob.h"
#include "core/link/DeviceLink.h"
#include "sim/SimThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <vector>

using namespace quelnet;

namespace {

quint16 g_port = 0;               // the controller of the benchmark running
std::map<int, quint16> g_ports;   // by reply delay
std::vector<quint16> g_callPorts; // three instant controllers of BM_CallCost

// Log, progress, boxes (every question answered Yes) and the save dialogs.
class SilentFrontEnd : public ILog, public IProgress, public IMessages, public IFileChooser {
public:
    explicit SilentFrontEnd(const QTemporaryDir& dir) : m_dir(dir) {}
    void Clear() override {}
    void Append(const QString&) override {}
    void RemoveLast() override {}
    void SetMaximum(int m) override { m_max = m; }
    int Maximum() const override { return m_max; }
    void SetPosition(int p) override { m_pos = p; }
    int Position() const override { return m_pos; }
    MessageAnswer Show(const Message&) override { return MessageAnswer::Yes; }
    std::optional<QString> ChooseOpenFile(const FileChoice&) override { return std::nullopt; }
    std::optional<QString> ChooseSaveFile(const FileChoice& c) override { return m_dir.filePath(c.fileName); }

private:
    const QTemporaryDir& m_dir;
    int m_max = 0, m_pos = 0;
};

QString Port() {
    return QString::number(g_port);
}

QStringList BackupArguments(const QTemporaryDir& dir) {
    return {"backup",  "127.0.0.1:" + Port(),    "--config", dir.filePath("Conf.QNC"),
            "--texts", dir.filePath("Text.QNT"), "--yes"};
}

bool Transfer(SilentFrontEnd& ui) {
    TfmCommon link;
    QByteArray config, texts;
    return link.GetConfig("127.0.0.1", Port(), "3958", ui, ui, config, texts);
}

bool BackupThroughCore(SilentFrontEnd& ui) {
    TfmCommon link;
    SettingsJob job(link, JobFrontEnd{ui, ui, ui, ui});
    return job.BackUp({"127.0.0.1", Port(), "3958"});
}

bool CliInProcess(const QStringList& args) {
    cli::BufferConsole console;
    return cli::RunTool(args, console) == 0;
}

bool Spawn(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool CliProgram(const QStringList& args) {
    return Spawn(QStringLiteral(QUELNETCTL_EXE), args);
}

// Runs `run`, adds its wall-clock milliseconds to `total`.
template <typename Run> bool Timed(double& total, Run&& run) {
    QElapsedTimer clock;
    clock.start();
    const bool ok = run();
    total += double(clock.nsecsElapsed()) / 1e6;
    return ok;
}

// `quelnetctl backup --hosts` over the first `count` controllers of BM_CallCost.
QStringList HostsBackupArguments(const QTemporaryDir& dir, int count) {
    const QString list = dir.filePath(QStringLiteral("hosts%1.txt").arg(count));
    QFile file(list);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        for (int i = 0; i < count; ++i)
            file.write(("127.0.0.1:" + QString::number(g_callPorts.at(i)) + "\n").toUtf8());
    return {"backup",
            "--hosts",
            list,
            "--jobs",
            "1",
            "--config",
            dir.filePath("{host}.QNC"),
            "--texts",
            dir.filePath("{host}.QNT"),
            "--yes"};
}

void BM_Transfer(benchmark::State& state) {
    QTemporaryDir dir;
    SilentFrontEnd ui(dir);
    for (auto _ : state)
        if (!Transfer(ui))
            state.SkipWithError("the transfer failed");
}
BENCHMARK(BM_Transfer)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BackupThroughCore(benchmark::State& state) {
    QTemporaryDir dir;
    SilentFrontEnd ui(dir);
    for (auto _ : state)
        if (!BackupThroughCore(ui))
            state.SkipWithError("the back-up failed");
}
BENCHMARK(BM_BackupThroughCore)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliInProcess(benchmark::State& state) {
    QTemporaryDir dir;
    const QStringList args = BackupArguments(dir);
    for (auto _ : state)
        if (!CliInProcess(args))
            state.SkipWithError("quelnetctl backup failed");
}
BENCHMARK(BM_CliInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliProgram(benchmark::State& state) {
    QTemporaryDir dir;
    const QStringList args = BackupArguments(dir);
    for (auto _ : state)
        if (!CliProgram(args))
            state.SkipWithError("quelnetctl backup failed");
}
BENCHMARK(BM_CliProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Ratios(benchmark::State& state) {
    g_port = g_ports.at(int(state.range(0)));
    QTemporaryDir coreDir, cliDir;
    SilentFrontEnd ui(coreDir);
    const QStringList args = BackupArguments(cliDir);
    double transfer = 0, core = 0, inProcess = 0, program = 0, spawn = 0, start = 0;
    for (auto _ : state) {
        const bool ok = Timed(transfer, [&] { return Transfer(ui); }) &&
                        Timed(core, [&] { return BackupThroughCore(ui); }) &&
                        Timed(inProcess, [&] { return CliInProcess(args); }) &&
                        Timed(program, [&] { return CliProgram(args); }) &&
                        Timed(spawn, [&] { return Spawn(QStringLiteral("/bin/true"), {}); }) &&
                        Timed(start, [&] { return CliProgram({QStringLiteral("--version")}); });
        if (!ok)
            state.SkipWithError("a run failed");
    }
    const double n = double(state.iterations());
    state.counters["transfer_ms"] = transfer / n;
    state.counters["core_ms"] = core / n;
    state.counters["cli_ms"] = inProcess / n;
    state.counters["program_ms"] = program / n;
    state.counters["spawn_ms"] = spawn / n;
    state.counters["start_ms"] = start / n;
    // What a call adds to the transfer, as measured and net of the plain spawn.
    state.counters["fixed_ms"] = (program - transfer) / n;
    state.counters["fixed_net_ms"] = (program - transfer - spawn) / n;
    state.counters["cli/core"] = inProcess / core;
    state.counters["cli/transfer"] = inProcess / transfer;
    state.counters["program/transfer"] = program / transfer;
    g_port = g_ports.at(0);
}
BENCHMARK(BM_Ratios)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_CallCost(benchmark::State& state) {
    QTemporaryDir dir;
    const QStringList one = HostsBackupArguments(dir, 1), three = HostsBackupArguments(dir, 3);
    double single = 0, triple = 0, spawn = 0;
    for (auto _ : state) {
        const bool ok = Timed(single, [&] { return CliProgram(one); }) &&
                        Timed(triple, [&] { return CliProgram(three); }) &&
                        Timed(spawn, [&] { return Spawn(QStringLiteral("/bin/true"), {}); });
        if (!ok)
            state.SkipWithError("a run failed");
    }
    const double n = double(state.iterations());
    const double perController = (triple - single) / 2 / n;
    state.counters["one_ms"] = single / n;
    state.counters["three_ms"] = triple / n;
    state.counters["per_controller_ms"] = perController;
    state.counters["spawn_ms"] = spawn / n;
    state.counters["call_ms"] = single / n - perController;
    state.counters["call_net_ms"] = (single - spawn) / n - perController;
}
BENCHMARK(BM_CallCost)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<std::unique_ptr<sim::SimThread>> controllers;
    for (int delay : {0, 1}) {
        sim::SimConfig config;
        config.faults.replyDelayMs = delay;
        controllers.push_back(std::make_unique<sim::SimThread>(config));
        if (!controllers.back()->Start())
            return 1;
        g_ports[delay] = controllers.back()->TcpPort();
    }
    for (int i = 0; i < 3; ++i) {
        controllers.push_back(std::make_unique<sim::SimThread>(sim::SimConfig{}));
        if (!controllers.back()->Start())
            return 1;
        g_callPorts.push_back(controllers.back()->TcpPort());
    }
    g_port = g_ports.at(0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
