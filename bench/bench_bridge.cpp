// quelnet-bridge at scale: 100 simulated controllers with 8 circuits each
// (IN1-IN4, OUT1-OUT4), every circuit read every 250 ms.
//  - Bridge: the bridge's process CPU per second of running, its resident
//    memory at the start and the end of the run, and the time from a change
//    in a controller to its state message at a subscriber (p50, p99, max).
//  - MinimalPoller (the baseline): the same reads through the device link, one
//    thread and one link per controller, nothing published; a process of its
//    own (this program with --minimal-poller), measured the same way.
//  - TwoShardsOnBridgedBrokers: two bridges (--shard 1/2, 2/2), each on its own
//    mosquitto; the second broker forwards to the first, where the one
//    subscriber is: every controller seen, and the change-to-message time.
// Each case runs QUELNET_BRIDGE_BENCH_SECONDS (default 20; 600 for the memory
// check over ten minutes). Everything binds 127.0.0.1 on free ports.
#include "core/link/DeviceLink.h"
#include "sim/SimThread.h"
#include "tests/bridge/BridgeProcesses.h"
#include "tests/bridge/MqttProbe.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using namespace quelnet;
using quelnet::test::Broker;
using quelnet::test::BridgeProcess;
using quelnet::test::MqttProbe;

constexpr int Controllers = 100;
constexpr int PeriodMs = 250;
const char* const Circuits[8] = {"IN1", "IN2", "IN3", "IN4", "OUT1", "OUT2", "OUT3", "OUT4"};
constexpr int ChangesPerSecond = 20;

int Seconds() {
    const int s = qEnvironmentVariableIntValue("QUELNET_BRIDGE_BENCH_SECONDS");
    return s > 0 ? s : 20;
}

// utime + stime of a process, in milliseconds.
double CpuMs(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = f.readAll();
    // Fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double tick = double(sysconf(_SC_CLK_TCK));
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) * 1000.0 / tick;
}

qint64 RssKb(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

struct Rig {
    QTemporaryDir dir;
    std::vector<std::unique_ptr<sim::SimThread>> sims;
    Rig() {
        for (int i = 0; i < Controllers; ++i) {
            sim::SimConfig config;
            config.serial = QStringLiteral("S%1").arg(i, 7, 10, QLatin1Char('0'));
            sims.push_back(std::make_unique<sim::SimThread>(config));
            if (!sims.back()->Start())
                qFatal("simulator: %s", qPrintable(sims.back()->ErrorText()));
        }
    }
    QString Config(quint16 brokerPort, const QString& clientId) const {
        QString text = QStringLiteral("[broker]\nport = %1\nclient_id = %2\n[bridge]\nstate_file = %3\n")
                           .arg(brokerPort)
                           .arg(clientId, dir.filePath(clientId + QStringLiteral(".entities")));
        for (int i = 0; i < Controllers; ++i) {
            text += QStringLiteral("[controller c%1]\naddress = 127.0.0.1\nport = %2\n").arg(i).arg(sims[i]->TcpPort());
            for (const char* c : Circuits)
                text += QStringLiteral("circuit = %1 digital %2 %3\n")
                            .arg(QLatin1String(c), QLatin1String(c[0] == 'I' ? "input" : "output"))
                            .arg(PeriodMs);
        }
        const QString path = dir.filePath(clientId + QStringLiteral(".conf"));
        test::WriteText(path, text);
        return path;
    }
};

Rig& TheRig() {
    static Rig rig;
    return rig;
}

// Flips inputs round robin, ChangesPerSecond a second, for `seconds`, and
// returns each change's latency to its state message at the probe (ms).
std::vector<double> ChangeLatencies(MqttProbe& probe, int seconds) {
    struct Change {
        QString topic;
        QByteArray payload;
        qint64 at;
        qsizetype mark;
    };
    std::vector<Change> changes;
    Rig& rig = TheRig();
    const int total = seconds * ChangesPerSecond;
    for (int n = 0; n < total; ++n) {
        const int controller = n % Controllers;
        const QString circuit = QString::fromLatin1(Circuits[(n / Controllers) % 4]);
        sim::SimThread& s = *rig.sims[size_t(controller)];
        const bool on = !s.Digital(circuit);
        const qsizetype mark = probe.Count();
        const qint64 at = probe.NowMs();
        s.SetDigital(circuit, on);
        changes.push_back({QStringLiteral("quelnet/c%1/%2/state").arg(controller).arg(circuit), on ? "ON" : "OFF", at, mark});
        QThread::msleep(1000 / ChangesPerSecond);
    }
    std::vector<double> latencies;
    for (const Change& c : changes) {
        test::MqttMessage m;
        if (probe.WaitFor(c.topic, [&](const QByteArray& p) { return p == c.payload; }, 2000, c.mark, &m))
            latencies.push_back(double(m.atMs - c.at));
        else
            latencies.push_back(1e9); // lost: counts against p99
    }
    return latencies;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

bool AllOnline(MqttProbe& probe) {
    for (int i = 0; i < Controllers; ++i)
        if (!probe.WaitFor(QStringLiteral("quelnet/c%1/availability").arg(i), "online", 30000))
            return false;
    return true;
}

void Report(benchmark::State& state, const std::vector<double>& latencies) {
    state.counters["p50_ms"] = Percentile(latencies, 0.50);
    state.counters["p99_ms"] = Percentile(latencies, 0.99);
    state.counters["max_ms"] = Percentile(latencies, 1.0);
    state.counters["changes"] = double(latencies.size());
}

void Bridge(benchmark::State& state) {
    Rig& rig = TheRig();
    Broker broker(rig.dir.path());
    if (!broker.Start())
        return state.SkipWithError("mosquitto did not start");
    MqttProbe probe(broker.Port(), QStringLiteral("quelnet/#"));
    BridgeProcess bridge;
    if (!bridge.Start(rig.Config(broker.Port(), QStringLiteral("bench-bridge"))) || !AllOnline(probe))
        return state.SkipWithError("the bridge did not bring every controller online");
    const qint64 pid = bridge.Pid();
    for (auto _ : state) {
        const qint64 rssStart = RssKb(pid);
        const double cpu0 = CpuMs(pid);
        const auto t0 = std::chrono::steady_clock::now();
        const std::vector<double> latencies = ChangeLatencies(probe, Seconds());
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double cpu = CpuMs(pid) - cpu0;
        state.SetIterationTime(wall);
        state.counters["cpu_ms_per_s"] = cpu / wall;
        state.counters["rss_start_kb"] = double(rssStart);
        state.counters["rss_end_kb"] = double(RssKb(pid));
        Report(state, latencies);
    }
    bridge.Terminate();
}
BENCHMARK(Bridge)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void MinimalPoller(benchmark::State& state) {
    Rig& rig = TheRig();
    QStringList ports{QStringLiteral("--minimal-poller"), QString::number(Seconds() + 2)};
    for (const auto& s : rig.sims)
        ports << QString::number(s->TcpPort());
    QProcess poller;
    poller.start(QCoreApplication::applicationFilePath(), ports);
    if (!poller.waitForStarted(10000))
        return state.SkipWithError("the poller did not start");
    QThread::msleep(1000); // every thread connected and in step
    const qint64 pid = poller.processId();
    for (auto _ : state) {
        const double cpu0 = CpuMs(pid);
        const auto t0 = std::chrono::steady_clock::now();
        QThread::msleep(quint32(Seconds()) * 1000);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(wall);
        state.counters["cpu_ms_per_s"] = (CpuMs(pid) - cpu0) / wall;
        state.counters["rss_end_kb"] = double(RssKb(pid));
    }
    poller.waitForFinished(30000);
}
BENCHMARK(MinimalPoller)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void TwoShardsOnBridgedBrokers(benchmark::State& state) {
    Rig& rig = TheRig();
    QTemporaryDir a, b;
    Broker central(a.path()), edge(b.path());
    if (!central.Start())
        return state.SkipWithError("mosquitto did not start");
    // The edge broker forwards the bridge's topics to the central one.
    if (!edge.Start(QStringLiteral("connection central\naddress 127.0.0.1:%1\ntopic quelnet/# out 1\n"
                                   "topic homeassistant/# out 1\ncleansession true\n")
                        .arg(central.Port())))
        return state.SkipWithError("the edge mosquitto did not start");
    MqttProbe probe(central.Port(), QStringLiteral("quelnet/#"));
    BridgeProcess first, second;
    const QString config1 = rig.Config(central.Port(), QStringLiteral("bench-shards"));
    QString config2 = rig.dir.filePath(QStringLiteral("bench-shards-edge.conf"));
    {
        QFile in(config1);
        in.open(QIODevice::ReadOnly);
        QString text = QString::fromUtf8(in.readAll());
        text.replace(QStringLiteral("port = %1\n").arg(central.Port()), QStringLiteral("port = %1\n").arg(edge.Port()));
        test::WriteText(config2, text);
    }
    if (!first.Start(config1, {QStringLiteral("--shard"), QStringLiteral("1/2")}) ||
        !second.Start(config2, {QStringLiteral("--shard"), QStringLiteral("2/2")}))
        return state.SkipWithError("a bridge did not start");
    const bool all = AllOnline(probe);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const std::vector<double> latencies = ChangeLatencies(probe, Seconds());
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        state.counters["all_controllers_seen"] = all ? 1 : 0;
        Report(state, latencies);
    }
    first.Terminate();
    second.Terminate();
}
BENCHMARK(TwoShardsOnBridgedBrokers)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The baseline: one thread and one device link per controller, each reading
// its 8 circuits every period, nothing else.
int RunMinimalPoller(int seconds, const QStringList& ports) {
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (const QString& p : ports) {
        const quint16 port = quint16(p.toUInt());
        threads.emplace_back([port, &stop] {
            TfmCommon link;
            auto next = std::chrono::steady_clock::now();
            while (!stop) {
                for (const char* c : Circuits) {
                    bool state = false;
                    link.GetInpDigi(QStringLiteral("127.0.0.1"), port, QStringLiteral("3958"), QString::fromLatin1(c),
                                    c[0] == 'O' ? 1 : 0, state);
                }
                next += std::chrono::milliseconds(PeriodMs);
                std::this_thread::sleep_until(next);
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    stop = true;
    for (std::thread& t : threads)
        t.join();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "--minimal-poller") == 0)
        return RunMinimalPoller(QString::fromLatin1(argv[2]).toInt(), QCoreApplication::arguments().mid(3));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
