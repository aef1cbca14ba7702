// The simulator against hostile or broken clients: bounded traffic log, bounded
// buffers each way, cut frames, idle and surplus connections, the password and
// the programming jumper, and the random faults of the soak.
#include "tests/sim/SimTestClient.h"

#include "sim/SimTraffic.h"

using namespace quelnet;
using namespace quelnet::sim;
using namespace quelnet::sim::test;

namespace {

// Writes up to `total` bytes of `frame` repeated, without reading, until the
// simulator stops taking them (nothing leaves for a second) or all are out.
qint64 Flood(SimClient& client, const QByteArray& frame, qint64 total) {
    const QByteArray chunk = frame.repeated(qMax<qsizetype>(1, (256 * 1024) / frame.size()));
    qint64 written = 0;
    while (written < total && client.Socket().state() == QAbstractSocket::ConnectedState) {
        if (client.Socket().bytesToWrite() < chunk.size()) {
            client.Socket().write(chunk);
            written += chunk.size();
        }
        if (!client.Socket().waitForBytesWritten(1000))
            break;
    }
    return written - client.Socket().bytesToWrite();
}

QByteArray ShortIdentify() {
    return QByteArray::fromHex("d5aa00000000");
}

} // namespace

TEST(SimTrafficLog, KeepsTheNewestWithinItsBoundsAndCountsEverything) {
    SimLimits limits;
    SimTraffic traffic(limits);
    const QByteArray frame = Long(0x12, 0, Name("IN1"));
    for (int i = 0; i < 3 * limits.logRequests; ++i)
        traffic.AddRequest(frame);
    const QByteArray last = Long(0x13, 0, Name("OUT1"));
    EXPECT_EQ(traffic.AddRequest(last), 3 * limits.logRequests + 1);
    const QList<QByteArray> kept = traffic.Requests();
    EXPECT_EQ(kept.size(), limits.logRequests);
    EXPECT_EQ(kept.last(), last);

    const QByteArray big(60000, 'x'); // the byte bound holds for long frames
    for (int i = 0; i < 200; ++i)
        traffic.AddRequest(big);
    qint64 bytes = 0;
    for (const QByteArray& r : traffic.Requests())
        bytes += r.size();
    EXPECT_LE(bytes, limits.logRequestBytes);

    for (int i = 0; i < 1000; ++i)
        traffic.AddHttp("GET / HTTP/1.1\r\n\r\n" + QByteArray::number(i));
    EXPECT_EQ(traffic.HttpRequests().size(), limits.logHttpRequests);
    EXPECT_TRUE(traffic.HttpRequests().last().endsWith("999"));
}

class SimLimitsTest : public SimFixture {
protected:
    static SimConfig WithLimits(void (*set)(SimLimits&)) {
        SimConfig config;
        set(config.limits);
        return config;
    }
};

TEST_F(SimLimitsTest, FrameCutShortIsDroppedSoTheNextFrameStartsAfresh) {
    StartSim(WithLimits([](SimLimits& l) { l.partialFrameMs = 100; }));
    client.Send(Long(0x12, 0, Name("IN1")).left(10));
    ASSERT_TRUE(WaitUntil([&] { return Sim().Events().partialFramesDropped == 1; }));
    EXPECT_EQ(client.Exchange(Long(0xAA)).size(), 48);
    EXPECT_EQ(Sim().RequestCount(), 1);
}

TEST_F(SimLimitsTest, DelayedRepliesDoNotLetInputPileUp) {
    SimConfig config;
    config.faults.replyDelayMs = 60000;
    StartSim(config);
    const qint64 sent = Flood(client, ShortIdentify(), 64 * 1024 * 1024);
    EXPECT_LT(sent, 64 * 1024 * 1024);
    EXPECT_LE(Sim().Events().mostHeld, config.limits.connectionBufferBytes + 16 * 1024);
}

TEST_F(SimLimitsTest, ClientThatNeverReadsDoesNotGrowTheReplies) {
    StartSim();
    client.Socket().setReadBufferSize(4096); // the client's own buffer does not take them either
    const qint64 sent = Flood(client, ShortIdentify(), 64 * 1024 * 1024);
    EXPECT_LT(sent, 64 * 1024 * 1024);
    EXPECT_LE(Sim().Events().mostHeld, SimLimits().connectionBufferBytes + 16 * 1024);
    // Taking the replies lets the simulator go on.
    EXPECT_EQ(client.Read(58).size(), 58);
}

TEST_F(SimLimitsTest, SurplusConnectionsAreClosedAtOnceOnBothPorts) {
    StartSim(WithLimits([](SimLimits& l) { l.maxConnections = 2; }));
    SimClient second, third;
    ASSERT_TRUE(second.Connect(Sim().TcpPort()));
    ASSERT_TRUE(WaitUntil([&] { return Sim().OpenConnections() == 2; }));
    ASSERT_TRUE(third.Connect(Sim().TcpPort()));
    EXPECT_TRUE(third.WaitClosed());
    EXPECT_EQ(second.Exchange(Long(0xAA)).size(), 48);

    SimClient http[3];
    for (SimClient& h : http)
        ASSERT_TRUE(h.Connect(Sim().HttpPort()));
    EXPECT_TRUE(http[2].WaitClosed());
    EXPECT_EQ(Sim().Events().connectionsRefused, 2);
}

TEST_F(SimLimitsTest, IdleAndSlowConnectionsAreClosed) {
    StartSim(WithLimits([](SimLimits& l) {
        l.idleTimeoutMs = 200;
        l.httpRequestMs = 200;
    }));
    SimClient http;
    ASSERT_TRUE(http.Connect(Sim().HttpPort()));
    http.Send("GET / HTTP/1.1\r\n"); // never finished
    EXPECT_TRUE(client.WaitClosed());
    EXPECT_TRUE(http.WaitClosed());
    EXPECT_EQ(Sim().Events().idleClosed, 2);
}

// What changes the simulator's state without the control password needs the
// programming jumper; the control password is always enough.
TEST_F(SimLimitsTest, WithoutTheJumperOnlyTheControlPasswordChangesAnything) {
    SimConfig config;
    config.jumper = false;
    config.password = "tajne";
    StartSim(config);
    const QByteArray page = QByteArray(256, 'p');
    // Replies come in order: the identify reply comes first when the three
    // programming frames before it got none.
    client.Send(proto::BuildShortFrame(0xA1, 0x500, page) + QByteArray::fromHex("d5ae00000000") +
                QByteArray::fromHex("d5ad00000000"));
    EXPECT_TRUE(client.Exchange(ShortIdentify(), 58).startsWith("V4.0.1"));
    EXPECT_EQ(Sim().Restarts(), 0);
    client.Send(Long(0xA1, 0, proto::PageAddress(5) + page, "3958"));
    EXPECT_TRUE(client.WaitClosed());
    EXPECT_EQ(Sim().Flash(), QByteArray(512 * 1024, char(0xFF)));

    SimClient owner;
    ASSERT_TRUE(owner.Connect(Sim().TcpPort()));
    EXPECT_EQ(owner.Exchange(Long(0xA1, 0, proto::PageAddress(5) + page, "tajne")).size(), 19);
    EXPECT_EQ(Sim().Flash().mid(0x500, 256), page);
}

TEST_F(SimLimitsTest, RandomFaultsHitPageRequestsOnly) {
    SimConfig config;
    config.faults.dropPercent = 100;
    StartSim(config);
    EXPECT_EQ(client.Exchange(Long(0xAA)).size(), 48);
    client.Send(Long(0xA0, 0, proto::PageAddress(7)));
    EXPECT_EQ(client.Exchange(Long(0x12, 0, Name("IN1"))).size(), 24); // the page read got no reply
    Faults echo;
    echo.wrongEchoPercent = 100;
    Sim().SetFaults(echo);
    EXPECT_EQ(client.Exchange(Long(0xA0, 0, proto::PageAddress(7))).mid(16, 3).toHex(), "000800");
    EXPECT_EQ(client.Exchange(proto::BuildShortFrame(0xA1, 0x700, QByteArray(256, 'q')), 6).toHex(),
              "d5a100000800");
}

TEST(SimRandomFaults, SameSeedSameDraws) {
    Faults f;
    f.seed = 7;
    SimFaults a(f), b(f);
    int hits = 0;
    for (int i = 0; i < 1000; ++i) {
        const bool draw = a.Draw(5);
        ASSERT_EQ(draw, b.Draw(5));
        hits += draw;
    }
    EXPECT_GT(hits, 20);
    EXPECT_LT(hits, 90);
}
