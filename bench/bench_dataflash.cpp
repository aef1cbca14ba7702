// Programming all 2,048 DataFlash pages into the simulator (on its own thread)
// over loopback: the device link's UpdateDataFlash against the plainest client
// that does the same exchanges on a blocking socket (each 262-byte short page
// write answered by its 6-byte echo, then the update start and its restart
// evidence: the controller closing the link, as the program waits for it).
// Real time; the simulator coming up again after each run is waited for
// outside the measurement.
#include "bench/InstantSimBench.h"
#include "core/link/DeviceLink.h"
#include "core/link/LinkInterfaces.h"
#include "core/protocol/Frames.h"
#include "sim/SimThread.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace quelnet;

constexpr int Pages = 2048;

class NullLog : public ILog {
public:
    void Clear() override {}
    void Append(const QString&) override {}
    void RemoveLast() override {}
};

class NullProgress : public IProgress {
public:
    void SetMaximum(int m) override { m_max = m; }
    int Maximum() const override { return m_max; }
    void SetPosition(int p) override { m_pos = p; }
    int Position() const override { return m_pos; }

private:
    int m_max = 0, m_pos = 0;
};

class ProcessingPump : public IEventPump {
public:
    void ProcessEvents() override { QCoreApplication::processEvents(); }
};

QByteArray Image() {
    QByteArray b(Pages * proto::PageSize, '\0');
    for (int i = 0; i < b.size(); ++i)
        b[i] = char((i * 13 + i / 256) & 0xFF);
    return b;
}

sim::SimThread& Simulator() {
    return bench::InstantlyRestartingSim();
}

// Waits, outside the measurement, until the simulator is up again after the
// update start of the last run.
void AwaitRestart(benchmark::State& state, int restarts) {
    state.PauseTiming();
    while (Simulator().Restarts() < restarts || !Simulator().Listening())
        QThread::usleep(200);
    state.ResumeTiming();
}

void BM_UpdateDataFlash(benchmark::State& state) {
    sim::SimThread& s = Simulator();
    const QByteArray image = Image();
    const QString port = QString::number(s.TcpPort());
    TfmCommon common;
    NullLog log;
    NullProgress progress;
    ProcessingPump pump;
    for (auto _ : state) {
        const int restarts = s.Restarts();
        if (!common.UpdateDataFlash("127.0.0.1", port, "V214", image, log, progress, false, &pump))
            state.SkipWithError("UpdateDataFlash failed");
        AwaitRestart(state, restarts + 1);
    }
    state.SetItemsProcessed(state.iterations() * Pages);
}

bool SendAll(int fd, const char* data, size_t n) {
    while (n > 0) {
        const ssize_t w = ::send(fd, data, n, 0);
        if (w <= 0)
            return false;
        data += w;
        n -= size_t(w);
    }
    return true;
}

bool ReceiveAll(int fd, char* data, size_t n) {
    while (n > 0) {
        const ssize_t r = ::recv(fd, data, n, 0);
        if (r <= 0)
            return false;
        data += r;
        n -= size_t(r);
    }
    return true;
}

// The baseline: connect, 2,048 writes with their echoes, the update start,
// the link closed by the controller, close.
bool PlainProgramming(quint16 port, const QList<QByteArray>& frames) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    char echo[6];
    for (int i = 0; ok && i < frames.size(); ++i) {
        const QByteArray& f = frames[i];
        ok = SendAll(fd, f.constData(), size_t(f.size())) && ReceiveAll(fd, echo, sizeof echo) &&
             std::memcmp(echo, f.constData(), sizeof echo) == 0;
    }
    const QByteArray start = proto::BuildShortFrame(proto::ShortStartUpdate);
    ok = ok && SendAll(fd, start.constData(), size_t(start.size()));
    // The update counts as started once the controller is seen restarting:
    // here it closes the link after taking the start.
    char c;
    ok = ok && ::recv(fd, &c, 1, 0) == 0;
    ::close(fd);
    return ok;
}

void BM_PlainClient(benchmark::State& state) {
    sim::SimThread& s = Simulator();
    const QByteArray image = Image();
    QList<QByteArray> frames;
    for (int p = 0; p < Pages; ++p)
        frames.append(proto::BuildShortFrame(proto::ShortWritePage, quint32(p) * proto::PageSize,
                                             image.mid(p * proto::PageSize, proto::PageSize)));
    for (auto _ : state) {
        const int restarts = s.Restarts();
        if (!PlainProgramming(s.TcpPort(), frames))
            state.SkipWithError("plain client failed");
        AwaitRestart(state, restarts + 1);
    }
    state.SetItemsProcessed(state.iterations() * Pages);
}

} // namespace

BENCHMARK(BM_PlainClient)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0)
    ->ComputeStatistics("min", quelnet::bench::Min);
BENCHMARK(BM_UpdateDataFlash)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0)
    ->ComputeStatistics("min", quelnet::bench::Min);

int main(int argc, char** argv) {
    return quelnet::bench::RunWithCoreApplication(argc, argv);
}
