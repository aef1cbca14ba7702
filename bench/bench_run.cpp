// One run-mode poll tick over 200 due elements (digital indicators with state
// pictures, and the same without pictures) against the simulator, compared
// with the same 200 request/reply round trips made by a plain blocking socket
// client on one connection, as the device link keeps it.
#include "RunWindow.h"
#include "core/link/DeviceLink.h"
#include "core/panel/PanelFile.h"
#include "core/protocol/CircuitReplies.h"
#include "core/protocol/Frames.h"
#include "gui/panel/PanelWindow.h"
#include "sim/SimThread.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace quelnet;

constexpr int Elements = 200;
constexpr const char* Password = "3958";
constexpr const char* Circuits[4] = {"IN1", "IN2", "OUT1", "OUT2"};

sim::SimThread& Simulator() {
    static sim::SimThread* s = [] {
        auto* t = new sim::SimThread;
        if (!t->Start())
            qFatal("simulator: %s", qPrintable(t->ErrorText()));
        return t;
    }();
    return *s;
}

// A run-mode window over 200 digital indicators.
std::unique_ptr<bench::RunWindow> RunPanel(bool pictures, bool blockingLink) {
    return std::make_unique<bench::RunWindow>([pictures](const QTemporaryDir& dir) {
        const QString off = dir.filePath("off.png"), on = dir.filePath("on.png");
        bench::WritePicture(off, Qt::red);
        bench::WritePicture(on, Qt::green);
        QList<bench::Block> blocks;
        for (int i = 0; i < Elements; ++i) {
            QStringList keys = {"idho=127.0.0.1",
                                QString("idpr=%1").arg(Simulator().TcpPort()),
                                QString("idps=") + Password,
                                QString("idic=") + Circuits[i % 4],
                                "idim=0",
                                "idfr=100"};
            if (pictures)
                keys << "idil=" + off << "idih=" + on;
            blocks.push_back({"idg", bench::GridRect(i, 32, 32), keys});
        }
        return blocks;
    }, blockingLink);
}

// Every element due, then one tick; the pictures are painted as the window would.
void Tick(bench::RunWindow& panel) {
    panel.Tick();
    QApplication::processEvents();
}

void RunTick(benchmark::State& state, bool pictures, bool blockingLink = false) {
    const auto panel = RunPanel(pictures, blockingLink);
    Tick(*panel); // the first pictures
    for (auto _ : state)
        Tick(*panel);
    if (panel->Stopped())
        state.SkipWithError("the poll stopped with an error");
}

void BM_RunTickPictures(benchmark::State& state) {
    RunTick(state, true);
}
void BM_RunTickNoPictures(benchmark::State& state) {
    RunTick(state, false);
}
// The same with a link that blocks the window's thread while it waits: what
// the window's wait costs against an instant controller.
void BM_RunTickNoPicturesBlocking(benchmark::State& state) {
    RunTick(state, false, true);
}

bool ReadExact(int fd, char* p, int n) {
    while (n > 0) {
        const ssize_t r = ::recv(fd, p, size_t(n), 0);
        if (r <= 0)
            return false;
        p += r;
        n -= int(r);
    }
    return true;
}

void BM_RawRoundTrips(benchmark::State& state) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(Simulator().TcpPort());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        state.SkipWithError("cannot connect");
        return;
    }
    QByteArray requests[4];
    for (int c = 0; c < 4; ++c)
        requests[c] = circuit::GetDigitalRequest(Password, Circuits[c], 0);
    char reply[512];
    for (auto _ : state) {
        for (int i = 0; i < Elements; ++i) {
            const QByteArray& r = requests[i % 4];
            if (::send(fd, r.constData(), size_t(r.size()), MSG_NOSIGNAL) != r.size() ||
                !ReadExact(fd, reply, 16)) {
                state.SkipWithError("exchange failed");
                break;
            }
            const int n = proto::GetU16(QByteArray::fromRawData(reply, 16), 14);
            if (n > 0 && (n > int(sizeof reply) - 16 || !ReadExact(fd, reply + 16, n))) {
                state.SkipWithError("exchange failed");
                break;
            }
        }
    }
    ::close(fd);
}

} // namespace

BENCHMARK(BM_RawRoundTrips)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RunTickPictures)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RunTickNoPictures)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RunTickNoPicturesBlocking)->Unit(benchmark::kMillisecond)->UseRealTime();
