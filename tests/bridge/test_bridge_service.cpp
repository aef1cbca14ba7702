// quelnet-bridge against Debian's mosquitto and simulated controllers, all on
// 127.0.0.1: discovery, states, commands, controllers and the broker going
// away and coming back, a clean stop, TLS and refused credentials.

#include "tests/bridge/BridgeFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QRegularExpression>
#include <QThread>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace quelnet::test {
namespace {

QJsonObject Json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

auto Any = [](const QByteArray& p) { return !p.isEmpty(); };

const QString AllKinds = QStringLiteral("circuit = IN1 digital input 200\n"
                                        "circuit = OUT1 digital output 200\n"
                                        "circuit = AN1 analog input 200\n"
                                        "circuit = AOUT1 analog output 200 min=0 max=10 step=0.5\n");

constexpr int Wait = 10000;

TEST_F(BridgeTest, DiscoveryStatesAndCommandsReachTheController) {
    ASSERT_TRUE(broker.Start());
    auto sim = StartSim();
    ASSERT_TRUE(sim);
    sim->SetAnalog(QStringLiteral("AN1"), 12.25f);
    MqttProbe probe(broker.Port());
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.Start(WriteConfig(Controller(QStringLiteral("hall"), sim->TcpPort(), AllKinds))));

    // One entity per circuit, of the kind the circuit is, under one device
    // that carries the controller's identification.
    struct Kind {
        const char* circuit;
        const char* component;
        bool command;
    } kinds[] = {{"IN1", "binary_sensor", false}, {"OUT1", "switch", true}, {"AN1", "sensor", false}, {"AOUT1", "number", true}};
    for (const Kind& k : kinds) {
        const QString topic = QStringLiteral("homeassistant/%1/quelnet_hall/%2/config").arg(k.component, k.circuit);
        MqttMessage m;
        ASSERT_TRUE(probe.WaitFor(
            topic, [](const QByteArray& p) { return Json(p)[u"device"].toObject().contains(u"serial_number"); }, Wait,
            0, &m))
            << topic.toStdString() << "\n" << bridge.Err().toStdString();
        const QJsonObject c = Json(m.payload);
        EXPECT_EQ(c[u"unique_id"].toString(), QStringLiteral("quelnet_hall_") + k.circuit);
        EXPECT_EQ(c[u"state_topic"].toString(), QStringLiteral("quelnet/hall/%1/state").arg(k.circuit));
        EXPECT_EQ(c.contains(u"command_topic"), k.command);
        const QJsonArray availability = c[u"availability"].toArray();
        ASSERT_EQ(availability.size(), 2);
        EXPECT_EQ(availability[0].toObject()[u"topic"].toString(), QStringLiteral("quelnet/hall/availability"));
        EXPECT_EQ(availability[1].toObject()[u"topic"].toString(), QStringLiteral("quelnet/bridge/status"));
        const QJsonObject device = c[u"device"].toObject();
        EXPECT_EQ(device[u"serial_number"].toString(), QStringLiteral("S0817092"));
        EXPECT_EQ(device[u"sw_version"].toString(), QStringLiteral("V4.0.1"));
        EXPECT_EQ(device[u"hw_version"].toString(), QStringLiteral("A"));
        EXPECT_TRUE(device[u"identifiers"].toArray().contains(QStringLiteral("quelnet_hall")));
    }
    {
        // Retained: a subscriber that comes later gets the configuration at once.
        MqttProbe late(broker.Port(), QStringLiteral("homeassistant/#"));
        MqttMessage m;
        ASSERT_TRUE(late.WaitFor(QStringLiteral("homeassistant/switch/quelnet_hall/OUT1/config"), Any, Wait, 0, &m));
        EXPECT_TRUE(m.retained);
    }
    const QJsonObject number = Json(probe.Last(QStringLiteral("homeassistant/number/quelnet_hall/AOUT1/config")));
    EXPECT_EQ(number[u"min"].toDouble(), 0);
    EXPECT_EQ(number[u"max"].toDouble(), 10);
    EXPECT_EQ(number[u"step"].toDouble(), 0.5);

    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/bridge/status"), "online", Wait));
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/availability"), "online", Wait));
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/IN1/state"), "OFF", Wait));
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/AN1/state"), "12.25", Wait));

    // A change in the controller reaches its state topic.
    qsizetype mark = probe.Count();
    sim->SetDigital(QStringLiteral("IN1"), true);
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/IN1/state"), "ON", Wait, mark));

    // Commands change the controller's outputs; the state follows.
    mark = probe.Count();
    probe.Publish(QStringLiteral("quelnet/hall/OUT1/set"), "ON");
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/OUT1/state"), "ON", Wait, mark));
    EXPECT_TRUE(sim->Digital(QStringLiteral("OUT1")));
    mark = probe.Count();
    probe.Publish(QStringLiteral("quelnet/hall/OUT1/set"), "toggle");
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/OUT1/state"), "OFF", Wait, mark));
    EXPECT_FALSE(sim->Digital(QStringLiteral("OUT1")));
    mark = probe.Count();
    probe.Publish(QStringLiteral("quelnet/hall/AOUT1/set"), "2.5");
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/AOUT1/state"), "2.5", Wait, mark));
    EXPECT_FLOAT_EQ(sim->Analog(QStringLiteral("AOUT1")), 2.5f);

    // Out of range, or a command for an input: nothing is written.
    const int requests = sim->RequestCount();
    probe.Publish(QStringLiteral("quelnet/hall/AOUT1/set"), "11");
    probe.Publish(QStringLiteral("quelnet/hall/IN1/set"), "ON");
    mark = probe.Count();
    probe.Publish(QStringLiteral("quelnet/hall/OUT1/set"), "ON"); // a marker that is carried out
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/OUT1/state"), "ON", Wait, mark));
    EXPECT_FLOAT_EQ(sim->Analog(QStringLiteral("AOUT1")), 2.5f);
    for (const QByteArray& r : sim->Requests().mid(requests))
        EXPECT_NE(r.size() > 12 ? quint8(r[12]) : 0, 0x18) << "an analog output was set";
    EXPECT_EQ(bridge.Terminate(), 0) << bridge.Err().toStdString();
}

TEST_F(BridgeTest, ADeadControllerGoesOfflineWhileTheOthersKeepPublishing) {
    ASSERT_TRUE(broker.Start());
    auto a = StartSim(0, QStringLiteral("SA000001"));
    auto b = StartSim(0, QStringLiteral("SB000002"));
    ASSERT_TRUE(a && b);
    const quint16 portA = a->TcpPort();
    MqttProbe probe(broker.Port());
    BridgeProcess bridge;
    const QString circuits = QStringLiteral("circuit = IN1 digital input 200\n");
    ASSERT_TRUE(bridge.Start(WriteConfig(Controller(QStringLiteral("a"), portA, circuits) +
                                         Controller(QStringLiteral("b"), b->TcpPort(), circuits))));
    ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/a/availability"), "online", Wait)) << bridge.Err().toStdString();
    ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/b/availability"), "online", Wait));

    qsizetype mark = probe.Count();
    const qint64 killed = probe.NowMs();
    a.reset();
    MqttMessage offline;
    ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/a/availability"), [](const QByteArray& p) { return p == "offline"; },
                              Wait, mark, &offline));
    // Two periods, and a margin for a loaded machine.
    EXPECT_LE(offline.atMs - killed, 2 * 200 + 300);

    // Meanwhile b is read as before.
    b->SetDigital(QStringLiteral("IN1"), true);
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/b/IN1/state"), "ON", Wait, mark));
    EXPECT_FALSE(probe.WaitFor(QStringLiteral("quelnet/b/availability"), "offline", 0, mark));

    // Back on its port: online again, its state read anew.
    mark = probe.Count();
    a = StartSim(portA, QStringLiteral("SA000001"));
    ASSERT_TRUE(a);
    a->SetDigital(QStringLiteral("IN1"), true);
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/a/availability"), "online", Wait, mark));
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/a/IN1/state"), "ON", Wait, mark));
    EXPECT_EQ(bridge.Terminate(), 0);
}

TEST_F(BridgeTest, AControllerThatDoesNotAnswerHoldsUpNoOther) {
    ASSERT_TRUE(broker.Start());
    auto slow = StartSim(0, QStringLiteral("SA000001"));
    auto b = StartSim(0, QStringLiteral("SB000002"));
    ASSERT_TRUE(slow && b);
    MqttProbe probe(broker.Port());
    BridgeProcess bridge;
    const QString circuits = QStringLiteral("circuit = IN1 digital input 200\ncircuit = IN2 digital input 200\n");
    ASSERT_TRUE(bridge.Start(WriteConfig(Controller(QStringLiteral("slow"), slow->TcpPort(), circuits) +
                                         Controller(QStringLiteral("b"), b->TcpPort(), circuits))));
    ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/slow/availability"), "online", Wait));
    ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/b/availability"), "online", Wait));

    // Replies later than the link time-out (1 s here): every read of that
    // controller waits the whole time-out.
    sim::Faults late;
    late.replyDelayMs = 4000;
    slow->SetFaults(late);
    qsizetype mark = probe.Count();
    ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/slow/availability"), "offline", Wait, mark));
    for (const char* circuit : {"IN1", "IN2"}) {
        mark = probe.Count();
        const qint64 changed = probe.NowMs();
        b->SetDigital(QString::fromLatin1(circuit), true);
        MqttMessage m;
        ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/b/%1/state").arg(circuit),
                                  [](const QByteArray& p) { return p == "ON"; }, Wait, mark, &m));
        // Within b's own period (and a margin), never after the slow one's time-out.
        EXPECT_LT(m.atMs - changed, 200 + 500);
    }
    EXPECT_EQ(bridge.Terminate(), 0);
}

TEST_F(BridgeTest, AnUnchangedValueIsPublishedAgainEveryNReads) {
    ASSERT_TRUE(broker.Start());
    auto sim = StartSim();
    ASSERT_TRUE(sim);
    MqttProbe probe(broker.Port(), QStringLiteral("quelnet/hall/IN1/state"));
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.Start(WriteConfig(Controller(QStringLiteral("hall"), sim->TcpPort(),
                                                    QStringLiteral("circuit = IN1 digital input 100\n")),
                                         {}, QStringLiteral("republish_periods = 4\n"))));
    ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/IN1/state"), "OFF", Wait));
    const qsizetype first = probe.Count();
    // About 20 reads: every fourth is sent again, not every one.
    QThread::msleep(2000);
    const qsizetype again = probe.Count() - first;
    EXPECT_GE(again, 2);
    EXPECT_LE(again, 8);
    EXPECT_EQ(bridge.Terminate(), 0);
}

TEST_F(BridgeTest, ABrokerRestartGetsDiscoveryAndStatesBack) {
    // The bridge comes first; the broker appears on its port later.
    ASSERT_TRUE(broker.Start());
    broker.Stop();
    auto sim = StartSim();
    ASSERT_TRUE(sim);
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.Start(WriteConfig(Controller(QStringLiteral("hall"), sim->TcpPort(),
                                                    QStringLiteral("circuit = OUT2 digital output 5000\n")))));
    ASSERT_TRUE(broker.Restart());
    {
        MqttProbe probe(broker.Port());
        ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/OUT2/state"), "OFF", Wait)) << bridge.Err().toStdString();
    }
    broker.Stop(); // a broker without a store: every retained message is gone
    sim->SetDigital(QStringLiteral("OUT2"), true);
    ASSERT_TRUE(broker.Restart());

    // A subscriber that comes after the restart finds everything retained again
    // (the state as last read: the period is longer than the test waits).
    MqttProbe probe(broker.Port());
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("homeassistant/switch/quelnet_hall/OUT2/config"), Any, Wait))
        << bridge.Err().toStdString();
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/availability"), "online", Wait));
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/bridge/status"), "online", Wait));
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/OUT2/state"), Any, Wait));
    EXPECT_EQ(bridge.Terminate(), 0);
}

TEST_F(BridgeTest, ACleanStopSaysOfflineAndARemovedCircuitLosesItsEntity) {
    ASSERT_TRUE(broker.Start());
    auto sim = StartSim();
    ASSERT_TRUE(sim);
    MqttProbe probe(broker.Port());
    const QString both = QStringLiteral("circuit = IN1 digital input 200\ncircuit = OUT1 digital output 200\n");
    const QString removed = QStringLiteral("homeassistant/switch/quelnet_hall/OUT1/config");
    {
        BridgeProcess bridge;
        ASSERT_TRUE(bridge.Start(WriteConfig(Controller(QStringLiteral("hall"), sim->TcpPort(), both))));
        ASSERT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/availability"), "online", Wait));
        ASSERT_TRUE(probe.WaitFor(removed, Any, Wait));
        const qsizetype mark = probe.Count();
        EXPECT_EQ(bridge.Terminate(), 0);
        EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/availability"), "offline", Wait, mark));
        EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/bridge/status"), "offline", Wait, mark));
    }
    const qsizetype mark = probe.Count();
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.Start(
        WriteConfig(Controller(QStringLiteral("hall"), sim->TcpPort(), QStringLiteral("circuit = IN1 digital input 200\n")))));
    EXPECT_TRUE(probe.WaitFor(removed, QByteArray(), Wait, mark)) << bridge.Err().toStdString();
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("homeassistant/binary_sensor/quelnet_hall/IN1/config"), Any, Wait, mark));
    EXPECT_EQ(bridge.Terminate(), 0);
}

TEST_F(BridgeTest, TlsWithACertificateMadeHere) {
    // A certificate authority and a server certificate for 127.0.0.1.
    auto run = [&](const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral("openssl"), args);
        return p.waitForFinished(60000) && p.exitCode() == 0;
    };
    ASSERT_TRUE(run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Test CA",
                     "-keyout", "ca.key", "-out", "ca.crt"}));
    ASSERT_TRUE(run({"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout", "server.key",
                     "-out", "server.csr"}));
    ASSERT_TRUE(WriteText(Path("san.ext"), "subjectAltName=IP:127.0.0.1\n"));
    ASSERT_TRUE(run({"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key", "-CAcreateserial",
                     "-days", "2", "-extfile", "san.ext", "-out", "server.crt"}));

    // Port 0 plain for the probe, port 1 TLS for the bridge.
    ASSERT_TRUE(broker.Start(QStringLiteral("listener %PORT0% 127.0.0.1\nlistener %PORT1% 127.0.0.1\n"
                                            "cafile %1\ncertfile %2\nkeyfile %3\n")
                                 .arg(Path("ca.crt"), Path("server.crt"), Path("server.key")),
                             2));
    auto sim = StartSim();
    ASSERT_TRUE(sim);
    MqttProbe probe(broker.Port(0));
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.Start(WriteConfig(Controller(QStringLiteral("hall"), sim->TcpPort(),
                                                    QStringLiteral("circuit = IN2 digital input 200\n")),
                                         QStringLiteral("port = %1\nca_file = ca.crt\n").arg(broker.Port(1)))));
    EXPECT_TRUE(probe.WaitFor(QStringLiteral("quelnet/hall/IN2/state"), "OFF", Wait)) << bridge.Err().toStdString();
    EXPECT_EQ(bridge.Terminate(), 0);

    // A broker whose certificate the configured authority did not sign: the
    // log says why the connection fails.
    ASSERT_TRUE(run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Other CA",
                     "-keyout", "other.key", "-out", "other.crt"}));
    BridgeProcess distrustful;
    ASSERT_TRUE(distrustful.Start(WriteConfig(Controller(QStringLiteral("hall"), sim->TcpPort(),
                                                         QStringLiteral("circuit = IN2 digital input 200\n")),
                                              QStringLiteral("port = %1\nca_file = other.crt\n").arg(broker.Port(1)),
                                              {}, QStringLiteral("other.conf"))));
    QDeadlineTimer deadline(Wait);
    while (!distrustful.Err().contains(QStringLiteral("certificate verify failed")) && !deadline.hasExpired())
        ASSERT_EQ(distrustful.Wait(100), -1) << "ended: " << distrustful.Err().toStdString();
    EXPECT_TRUE(distrustful.Err().contains(QStringLiteral("certificate verify failed"))) << distrustful.Err().toStdString();
    EXPECT_EQ(distrustful.Terminate(), 0) << distrustful.Err().toStdString();
}

TEST_F(BridgeTest, AWrongBrokerPasswordEndsTheBridgeWithAClearError) {
    ASSERT_TRUE(WriteText(Path("passwd.plain"), ""));
    QProcess make;
    make.start(QStringLiteral("mosquitto_passwd"),
               {QStringLiteral("-b"), QStringLiteral("-c"), Path("passwd"), QStringLiteral("bridge"), QStringLiteral("right-one")});
    ASSERT_TRUE(make.waitForFinished(30000) && make.exitCode() == 0);
    ASSERT_TRUE(broker.Start(QStringLiteral("allow_anonymous false\npassword_file %1\n").arg(Path("passwd"))));
    ASSERT_TRUE(WriteText(Path("broker.pass"), "Wr0ng-Secret\n"));
    auto sim = StartSim();
    ASSERT_TRUE(sim);
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.Start(WriteConfig(Controller(QStringLiteral("hall"), sim->TcpPort(),
                                                    QStringLiteral("circuit = IN1 digital input 200\n")),
                                         QStringLiteral("user = bridge\npassword_file = broker.pass\n"))));
    EXPECT_EQ(bridge.Wait(Wait), 1);
    const QString err = bridge.Err();
    EXPECT_TRUE(err.contains(QStringLiteral("refused the connection"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("not authorised"), Qt::CaseInsensitive) ||
                err.contains(QStringLiteral("password"), Qt::CaseInsensitive))
        << err.toStdString();
    EXPECT_FALSE(err.contains(QStringLiteral("Wr0ng-Secret")));
}

// What a service manager hears on its notification socket.
class NotifySocket {
public:
    explicit NotifySocket(const QString& path) : m_path(path) {
        m_fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray p = path.toUtf8();
        std::memcpy(addr.sun_path, p.constData(), std::min<size_t>(size_t(p.size()), sizeof addr.sun_path - 1));
        m_bound = bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~NotifySocket() { close(m_fd); }
    bool Bound() const { return m_bound; }
    // Collects datagrams until one holds `line` (true) or the time is up.
    bool WaitFor(const QByteArray& line, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            for (const QByteArray& m : m_heard)
                if (m.split('\n').contains(line))
                    return true;
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, int(std::max<qint64>(1, deadline.remainingTime()))) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
            if (n > 0)
                m_heard << QByteArray(buffer, int(n));
        }
        return false;
    }

private:
    QString m_path;
    int m_fd = -1;
    bool m_bound = false;
    QList<QByteArray> m_heard;
};

TEST_F(BridgeTest, TellsTheServiceManagerReadyAliveAndStopping) {
    ASSERT_TRUE(broker.Start());
    auto sim = StartSim();
    ASSERT_TRUE(sim);
    NotifySocket notify(Path("notify"));
    ASSERT_TRUE(notify.Bound());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NOTIFY_SOCKET"), Path("notify"));
    env.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("400000"));
    env.insert(QStringLiteral("JOURNAL_STREAM"), QStringLiteral("8:1"));
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.Start(WriteConfig(Controller(QStringLiteral("hall"), sim->TcpPort(),
                                                    QStringLiteral("circuit = IN1 digital input 200\n"))),
                             {}, env));
    EXPECT_TRUE(notify.WaitFor("READY=1", Wait));
    EXPECT_TRUE(notify.WaitFor("WATCHDOG=1", Wait));
    EXPECT_EQ(bridge.Terminate(), 0);
    EXPECT_TRUE(notify.WaitFor("STOPPING=1", Wait));
    // Under the journal every line starts with its priority.
    const QStringList lines = bridge.Err().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    for (const QString& line : lines)
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^<[3-7]>")).match(line).hasMatch()) << line.toStdString();
}

} // namespace
} // namespace quelnet::test
