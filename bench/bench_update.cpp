// `quelnetctl update` as a whole job against a simulated controller on
// 127.0.0.1 that restarts at once, one child process per run:
//   - BM_CliUpdate: `quelnetctl update --to V4.0.1f --yes --no-backup`, the
//     restart wait set to 20 ms and the factory address pointed at the simulator:
//     identification, the package read, the image built, 2,048 pages, the
//     update start and its restart evidence, the reconnection and the clearing
//     of the text area;
//   - BM_PlainUpdate: bench/plain_update (no toolkit, blocking sockets), spawned
//     the same way, doing the same writes, update start, restart evidence,
//     restart wait and clearing. Its image is prepared beforehand: the pages the program wrote
//     in a first run, taken from the simulator's request log, so both send
//     the same bytes;
//   - BM_CliUpdateDryRun: `quelnetctl update --dry-run`: identification, the
//     package read and the image built, nothing written: the part of the job
//     that is not on the wire.
// Times are wall-clock.
#include "bench/InstantSimBench.h"
#include "sim/SimThread.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace quelnet;

namespace {

constexpr int Pages = 2048;
constexpr int PageSize = 256;
// The pause before reconnecting after the update start; the simulator is up
// again well within it.
constexpr int RestartWaitMs = 20;

sim::SimThread& Simulator() {
    return bench::InstantlyRestartingSim();
}

QString Host() {
    return QStringLiteral("127.0.0.1:") + QString::number(Simulator().TcpPort());
}

bool Run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, arguments);
    if (!p.waitForFinished(120000))
        return false;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QStringList UpdateArguments(bool dryRun) {
    QStringList a{"update",
                  Host(),
                  "--to",
                  "V4.0.1f",
                  "--yes",
                  "--no-backup",
                  "--restart-wait",
                  QString::number(RestartWaitMs),
                  "--factory-address",
                  Host(),
                  "--package",
                  QStringLiteral(QUELNET_EXE)};
    if (dryRun)
        a << "--dry-run";
    return a;
}

bool CliUpdate(bool dryRun = false) {
    return Run(QStringLiteral(QUELNETCTL_EXE), UpdateArguments(dryRun));
}

// What the program wrote in one update, for the plain client.
struct Job {
    QTemporaryDir dir;
    QString image;
    bool prepare = false;
    int clearFirst = 0, clearEnd = 0;
    bool ok = false;
};

const Job& RecordedJob() {
    static Job* const job = [] {
        auto* j = new Job;
        sim::SimThread& s = Simulator();
        s.ClearRequests();
        if (!CliUpdate())
            return j;
        QByteArray image(Pages * PageSize, '\0');
        int written = 0;
        bool started = false;
        for (const QByteArray& r : s.Requests()) {
            if (r.size() < 6 || uchar(r[0]) != 0xD5)
                continue;
            const int command = uchar(r[1]);
            const int page = ((uchar(r[3]) << 16) | (uchar(r[4]) << 8) | uchar(r[5])) / PageSize;
            if (command == 0xAE)
                j->prepare = true;
            if (command == 0xAD)
                started = true;
            if (command != 0xA1 || r.size() != 6 + PageSize)
                continue;
            if (!started) {
                image.replace(page * PageSize, PageSize, r.mid(6));
                ++written;
            } else {
                j->clearFirst = j->clearEnd == 0 ? page : j->clearFirst;
                j->clearEnd = page + 1;
            }
        }
        s.ClearRequests();
        j->image = j->dir.filePath(QStringLiteral("image.bin"));
        QFile f(j->image);
        j->ok = written == Pages && started && f.open(QIODevice::WriteOnly) && f.write(image) == image.size();
        return j;
    }();
    return *job;
}

void BM_CliUpdate(benchmark::State& state) {
    if (!RecordedJob().ok)
        state.SkipWithError("the first update failed");
    for (auto _ : state)
        if (!CliUpdate())
            state.SkipWithError("quelnetctl update failed");
    Simulator().ClearRequests();
}

void BM_PlainUpdate(benchmark::State& state) {
    const Job& job = RecordedJob();
    if (!job.ok)
        state.SkipWithError("the first update failed");
    const QStringList arguments{QString::number(Simulator().TcpPort()), job.image,
                                QString::number(job.prepare ? 1 : 0),   QString::number(job.clearFirst),
                                QString::number(job.clearEnd),          QString::number(RestartWaitMs)};
    for (auto _ : state)
        if (!Run(QStringLiteral(PLAIN_UPDATE_EXE), arguments))
            state.SkipWithError("plain client failed");
    Simulator().ClearRequests();
}

void BM_CliUpdateDryRun(benchmark::State& state) {
    for (auto _ : state)
        if (!CliUpdate(true))
            state.SkipWithError("quelnetctl update --dry-run failed");
    Simulator().ClearRequests();
}

} // namespace

BENCHMARK(BM_PlainUpdate)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0)
    ->ComputeStatistics("min", quelnet::bench::Min);
BENCHMARK(BM_CliUpdate)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0)
    ->ComputeStatistics("min", quelnet::bench::Min);
BENCHMARK(BM_CliUpdateDryRun)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0)
    ->ComputeStatistics("min", quelnet::bench::Min);

int main(int argc, char** argv) {
    return quelnet::bench::RunWithCoreApplication(argc, argv);
}
