// The simulator as a server: faults, restarts, generations, the HTTP status page,
// the DataFlash file and the demonstration mode.
#include "tests/sim/SimTestClient.h"

#include "core/base/CodePage.h"
#include "core/protocol/ContentCoding.h"
#include "sim/SimDemo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>

using namespace quelnet;
using namespace quelnet::sim;
using namespace quelnet::sim::test;

namespace {

QByteArray PostLogin(quint16 port, const QByteArray& body, const QByteArray& moreHeaders = {}) {
    return HttpExchange(port, "POST /0 HTTP/1.1\r\nHost: 127.0.0.1\r\n" + moreHeaders +
                                  "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
}

} // namespace

class SimFaultsTest : public SimFixture {};

TEST_F(SimFaultsTest, DroppedReplyLeavesTheConnectionOpenAndTheRequestDone) {
    SimConfig config;
    config.faults.dropReplyTo = {2};
    StartSim(config);
    EXPECT_EQ(client.Exchange(Long(0xAA)).size(), 48);      // request 1
    client.Send(Long(0x10, 1, Name("OUT3")));               // request 2: no reply
    EXPECT_EQ(client.Exchange(Long(0x13, 0, Name("OUT3"))), // request 3 answers first
              proto::BuildLongReply(0x43, 1, Name("OUT3")));
    EXPECT_EQ(Sim().RequestCount(), 3);
}

TEST_F(SimFaultsTest, DroppedRepliesAreNumberedOverAllConnections) {
    StartSim();
    EXPECT_EQ(client.Exchange(Long(0xAA)).size(), 48); // request 1
    Faults drop;
    drop.dropReplyTo = {2};
    Sim().SetFaults(drop);
    SimClient second;
    ASSERT_TRUE(second.Connect(Sim().TcpPort()));
    second.Send(QByteArray::fromHex("d5aa00000000"));                         // request 2: dropped
    EXPECT_EQ(second.Exchange(QByteArray::fromHex("d5ae00000000"), 2), "OK"); // request 3
    EXPECT_EQ(Sim().Connections(), 2);
}

TEST_F(SimFaultsTest, WrongEchoOnChosenPagesOnly) {
    SimConfig config;
    config.faults.wrongEchoOnPage = {5};
    StartSim(config);
    const QByteArray page5 = proto::PageAddress(5);
    EXPECT_EQ(client.Exchange(Long(0xA0, 0, page5)).mid(16, 3).toHex(), "000600");
    EXPECT_EQ(client.Exchange(Long(0xA0, 0, proto::PageAddress(4))).mid(16, 3).toHex(), "000400");
    EXPECT_EQ(client.Exchange(Long(0xA1, 0, page5 + QByteArray(256, 'a'))).mid(16, 3).toHex(), "000600");
    EXPECT_EQ(client.Exchange(proto::BuildShortFrame(0xA1, 0x500, QByteArray(256, 'b')), 6).toHex(),
              "d5a100000600");
    EXPECT_EQ(Sim().Flash().mid(0x500, 256), QByteArray(256, 'b')); // the write itself happened
}

TEST_F(SimFaultsTest, CorruptWritesAreAcknowledgedButStoredWithTheFirstByteInverted) {
    SimConfig config;
    config.faults.corruptWrittenPages = {6};
    StartSim(config);
    const QByteArray data(256, 'a');
    EXPECT_EQ(client.Exchange(Long(0xA1, 0, proto::PageAddress(6) + data)),
              proto::BuildLongReply(0xB1, 0, proto::PageAddress(6)));
    EXPECT_EQ(client.Exchange(proto::BuildShortFrame(0xA1, 0x600, data), 6).toHex(), "d5a100000600");
    client.Exchange(Long(0xA1, 0, proto::PageAddress(7) + data));
    QByteArray corrupted = data;
    corrupted[0] = char(~uchar('a'));
    EXPECT_EQ(Sim().Flash().mid(0x600, 256), corrupted); // the short write was corrupted too
    EXPECT_EQ(Sim().Flash().mid(0x700, 256), data);
}

TEST_F(SimFaultsTest, DelayedRepliesKeepTheirOrder) {
    SimConfig config;
    config.faults.replyDelayMs = 300;
    StartSim(config);
    QElapsedTimer clock;
    clock.start();
    client.Send(Long(0x10, 1, Name("OUT1")) + Long(0x12, 0, Name("OUT1")));
    EXPECT_EQ(client.ReadLong(), proto::BuildLongReply(0x08, 1));
    EXPECT_EQ(client.ReadLong(), proto::BuildLongReply(0x42, 1, Name("OUT1")));
    EXPECT_GE(clock.elapsed(), 2 * 300 - 50); // each reply waited; timers may fire a little early
}

TEST_F(SimFaultsTest, CloseAfterRequestsCountsPerConnection) {
    SimConfig config;
    config.faults.closeAfterRequests = 2;
    StartSim(config);
    EXPECT_EQ(client.Exchange(Long(0xAA)).size(), 48);
    QByteArray last;
    client.Send(Long(0xAF));
    EXPECT_TRUE(client.WaitClosed(&last));
    EXPECT_EQ(last.size(), 16); // the second request is answered, then the link closes
    SimClient again;
    ASSERT_TRUE(again.Connect(Sim().TcpPort()));
    EXPECT_EQ(again.Exchange(Long(0xAA)).size(), 48);
    EXPECT_EQ(again.Exchange(Long(0xAA)).size(), 48);
    EXPECT_TRUE(again.WaitClosed());
}

TEST_F(SimFaultsTest, DropAndCloseTogetherBreakTheLinkMidExchange) {
    SimConfig config;
    config.faults.dropReplyTo = {1};
    config.faults.closeAfterRequests = 1;
    StartSim(config);
    client.Send(Long(0x12, 0, Name("IN1")));
    QByteArray before;
    EXPECT_TRUE(client.WaitClosed(&before));
    EXPECT_TRUE(before.isEmpty());
}

TEST_F(SimFaultsTest, FaultsChangeWhileRunning) {
    StartSim();
    Faults echo;
    echo.wrongEchoOnPage = {9};
    Sim().SetFaults(echo);
    EXPECT_EQ(client.Exchange(Long(0xA0, 0, proto::PageAddress(9))).mid(16, 3).toHex(), "000a00");
    Sim().SetFaults({});
    EXPECT_EQ(client.Exchange(Long(0xA0, 0, proto::PageAddress(9))).mid(16, 3).toHex(), "000900");
}

class SimRestart : public SimFixture, public ::testing::WithParamInterface<const char*> {};

// Restart (long 0xAB) and update start (short 0xAD): no reply, every connection
// closed, the port closed for the restart delay, then open again on the same port.
TEST_P(SimRestart, ControllerIsAwayForTheRestartDelay) {
    SimConfig config;
    config.restartDelayMs = 2000;
    StartSim(config);
    const quint16 port = Sim().TcpPort();
    SimClient other;
    ASSERT_TRUE(other.Connect(port));
    ASSERT_TRUE(WaitUntil([&] { return Sim().OpenConnections() == 2; }));
    const QByteArray request =
        QByteArray(GetParam()) == "long" ? Long(0xAB) : QByteArray::fromHex("d5ad00000000");
    client.Send(request + Long(0xAA)); // what follows the restart is not served
    QByteArray before;
    EXPECT_TRUE(client.WaitClosed(&before));
    EXPECT_TRUE(before.isEmpty());
    EXPECT_TRUE(other.WaitClosed());
    EXPECT_FALSE(Sim().Listening());
    SimClient refused;
    EXPECT_FALSE(refused.Connect(port));

    ASSERT_TRUE(WaitUntil([&] { return Sim().Listening(); }));
    EXPECT_EQ(Sim().TcpPort(), port);
    SimClient after;
    ASSERT_TRUE(after.Connect(port));
    EXPECT_EQ(after.Exchange(Long(0xAA)).size(), 48);
}

INSTANTIATE_TEST_SUITE_P(Frames, SimRestart, ::testing::Values("long", "short"));

TEST_F(SimFaultsTest, MidGenerationIgnoresLongFrames) {
    SimConfig config;
    config.generation = Generation::Mid;
    StartSim(config);
    client.Send(Long(0xAA));
    const QByteArray reply = client.Exchange(QByteArray::fromHex("d5aa00000000"), 58);
    EXPECT_EQ(reply.left(6), "V2.1.4"); // the first bytes to arrive answer the short frame
    EXPECT_EQ(client.Exchange(proto::BuildShortFrame(0xA1, 0x100, QByteArray(256, 'm')), 6).toHex(),
              "d5a100000100");
}

TEST(SimStart, PortInUseIsReportedAndNothingRuns) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    SimConfig config;
    config.tcpPort = taken.serverPort();
    SimThread sim(config);
    EXPECT_FALSE(sim.Start());
    EXPECT_TRUE(sim.ErrorText().contains(QString::number(taken.serverPort())))
        << sim.ErrorText().toStdString();
    EXPECT_FALSE(sim.Listening());
    taken.close();
    EXPECT_TRUE(sim.Start()); // a second try once the port is free
}

class SimHttp : public SimFixture {};

TEST_F(SimHttp, OldGenerationHasOnlyTheStatusPage) {
    SimConfig config;
    config.generation = Generation::Old;
    config.password = "a&b=c";
    StartSim(config);
    EXPECT_EQ(Sim().TcpPort(), 0);
    ASSERT_NE(Sim().HttpPort(), 0);

    const QByteArray page = PostLogin(Sim().HttpPort(), "y1=a&b=c");
    EXPECT_TRUE(page.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_FALSE(page.contains("charset"));
    EXPECT_TRUE(page.contains("Napi\xEA"
                              "cie zasilania "));
    EXPECT_TRUE(page.contains("Temperatura "));
    EXPECT_TRUE(page.contains("Numer V1.3 S0817092"));
    ASSERT_EQ(Sim().HttpRequests().size(), 1);
    EXPECT_TRUE(Sim().HttpRequests()[0].endsWith("\r\n\r\ny1=a&b=c"));

    const QByteArray wrong = PostLogin(Sim().HttpPort(), "y1=a");
    EXPECT_TRUE(wrong.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_FALSE(wrong.contains("Numer "));
    EXPECT_FALSE(wrong.contains("Temperatura "));
}

TEST_F(SimHttp, LithuanianStatusPage) {
    SimConfig config;
    config.generation = Generation::Old;
    config.language = "LT";
    config.version = "V1.2.10";
    config.serial = "L0000001";
    StartSim(config);
    const QByteArray page = PostLogin(Sim().HttpPort(), "y1=3958");
    EXPECT_TRUE(page.contains("Maitinimo \xE7tampa "));
    EXPECT_TRUE(page.contains("Temperat\xFEra "));
    EXPECT_TRUE(page.contains("Numeris V1.2.10 L0000001"));
    EXPECT_FALSE(page.contains("Numer V"));
}

TEST_F(SimHttp, PasswordIsPostedInTheAnsiCodePage) {
    SimConfig config;
    config.generation = Generation::Old;
    config.password = "hasło";
    StartSim(config);
    EXPECT_TRUE(PostLogin(Sim().HttpPort(), "y1=" + ToAnsi("hasło")).contains("Numer "));
}

TEST_F(SimHttp, GzipPagesOnlyToRequestsThatAcceptGzip) {
    SimConfig config;
    config.generation = Generation::Old;
    config.httpGzip = true;
    StartSim(config);
    for (const QByteArray accept : {"gzip, deflate", "deflate;q=1, GZIP"}) {
        SCOPED_TRACE(accept.toStdString());
        const QByteArray response =
            PostLogin(Sim().HttpPort(), "y1=3958", "Accept-Encoding: " + accept + "\r\n");
        const qsizetype headEnd = response.indexOf("\r\n\r\n");
        ASSERT_GT(headEnd, 0);
        const QByteArray head = response.left(headEnd + 2), body = response.mid(headEnd + 4);
        EXPECT_TRUE(head.contains("\r\nContent-Encoding: gzip\r\n"));
        EXPECT_TRUE(head.contains("\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n"));
        EXPECT_TRUE(body.startsWith("\x1F\x8B"));
        EXPECT_TRUE(quelnet::http::DecodeContent(body, "gzip").value_or("").contains("Numer V1.3 S0817092"));
    }
    for (const QByteArray& refused : {QByteArray(), QByteArray("Accept-Encoding: gzip;q=0\r\n")}) {
        const QByteArray plain = PostLogin(Sim().HttpPort(), "y1=3958", refused);
        EXPECT_FALSE(plain.contains("Content-Encoding"));
        EXPECT_TRUE(plain.contains("Numer V1.3 S0817092"));
    }
}

TEST_F(SimHttp, LoginFormAndUnknownPaths) {
    StartSim(); // the new generation serves the pages too
    const QByteArray form = HttpExchange(Sim().HttpPort(), "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_TRUE(form.contains("action=\"/0\""));
    EXPECT_TRUE(form.contains("name=\"y1\""));
    EXPECT_TRUE(HttpExchange(Sim().HttpPort(), "GET /x HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 404"));
}

class SimFlashFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path() const { return dir.filePath("flash.bin"); }
};

TEST_F(SimFlashFile, WritesAreSavedAndLoadedAgain) {
    SimConfig config;
    config.flashFile = Path();
    {
        SimThread sim(config);
        ASSERT_TRUE(sim.Start());
        EXPECT_FALSE(QFile::exists(Path())); // nothing written yet
        SimClient c;
        ASSERT_TRUE(c.Connect(sim.TcpPort()));
        c.Exchange(Long(0xA1, 0, proto::PageAddress(40) + QByteArray(256, 'F')));
    } // stopping saves the pending write
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray saved = f.readAll();
    ASSERT_EQ(saved.size(), 512 * 1024);
    EXPECT_EQ(saved.mid(40 * 256, 256), QByteArray(256, 'F'));
    EXPECT_EQ(saved.mid(41 * 256, 256), QByteArray(256, char(0xFF)));

    SimThread again(config);
    ASSERT_TRUE(again.Start());
    EXPECT_EQ(again.Flash(), saved);
}

TEST_F(SimFlashFile, ShortFileIsPaddedLargeFileIsRefusedUntouched) {
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1000, 'S'));
    f.close();
    SimConfig config;
    config.flashFile = Path();
    {
        SimThread sim(config);
        ASSERT_TRUE(sim.Start());
        EXPECT_EQ(sim.Flash().left(1001), QByteArray(1000, 'S') + char(0xFF));
    }

    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(512 * 1024 + 1, 'L'));
    f.close();
    SimThread big(config);
    EXPECT_FALSE(big.Start());
    EXPECT_TRUE(big.ErrorText().contains("flash.bin"));
    EXPECT_EQ(QFile(Path()).size(), 512 * 1024 + 1);
}

TEST(SimDemoTest, InputsStayInRangeAndMoveAtDifferentRates) {
    for (int index = 0; index < 2; ++index)
        for (qint64 ms = 0; ms < 120000; ms += 250) {
            const float v = SimDemo::AnalogAt(index, ms);
            EXPECT_GE(v, 0.0f);
            EXPECT_LE(v, 100.0f);
        }
    // Over a minute each digital input toggles a different number of times.
    QSet<int> toggleCounts;
    for (int index = 0; index < 4; ++index) {
        int toggles = 0;
        for (qint64 ms = 100; ms < 60000; ms += 100)
            toggles += SimDemo::DigitalAt(index, ms) != SimDemo::DigitalAt(index, ms - 100);
        EXPECT_GT(toggles, 5);
        toggleCounts.insert(toggles);
    }
    EXPECT_EQ(toggleCounts.size(), 4);
}

TEST(SimDemoTest, DemoMovesTheInputsSeenOverTheWire) {
    SimConfig config;
    config.demo = true;
    SimThread sim(config);
    ASSERT_TRUE(sim.Start());
    SimClient c;
    ASSERT_TRUE(c.Connect(sim.TcpPort()));
    const QByteArray first = c.Exchange(Long(0x12, 0, Name("IN1")));
    EXPECT_TRUE(WaitUntil([&] { return c.Exchange(Long(0x12, 0, Name("IN1"))) != first; }));
    EXPECT_TRUE(
        WaitUntil([&] { return c.Exchange(Long(0x1A, 0, Name("AN1"))).mid(24) != QByteArray(4, '\0'); }));
}
