// Circuit reads and sets against the simulated controller: bytes on the wire,
// every LastError text, reuse and reopening of the link, time-outs.
#include "tests/core/link/SimFixture.h"

#include "core/base/InterfaceTexts.h"
#include "core/link/LinkWait.h"
#include "core/protocol/CircuitReplies.h"

#include <QElapsedTimer>
#include <thread>

using namespace quelnet;
using namespace quelnet::test;

namespace {

QByteArray Hex(const char* h) {
    return QByteArray::fromHex(h);
}

class Circuits : public SimLinkTest {
protected:
    void SetUp() override {
        sim::SimConfig config;
        config.circuits.append({"LAMPA123", false, true}); // a name of exactly 8 characters
        StartSim(config);
    }
};

struct WireCase {
    const char* what;
    std::function<bool(TfmCommon&, const QString& host, quint16 port)> call;
    const char* tail; // request bytes 12 on, hexadecimal
};

TEST_F(Circuits, RequestBytesOfEveryCommand) {
    bool state = false;
    float value = 0;
    const WireCase cases[] = {
        {"switch OUT1 on",
         [](TfmCommon& c, auto h, auto p) { return c.SetOutDigi(h, p, SimPassword, "OUT1", 1); },
         "1001"
         "0008"
         "4F55543100000000"},
        {"switch OUT1 off",
         [](TfmCommon& c, auto h, auto p) { return c.SetOutDigi(h, p, SimPassword, "OUT1", 0); },
         "1000"
         "0008"
         "4F55543100000000"},
        {"toggle OUT1",
         [](TfmCommon& c, auto h, auto p) { return c.SetOutDigi(h, p, SimPassword, "OUT1", 2); },
         "1002"
         "0008"
         "4F55543100000000"},
        {"eight-character name has no terminator",
         [](TfmCommon& c, auto h, auto p) { return c.SetOutDigi(h, p, SimPassword, "LAMPA123", 1); },
         "1001"
         "0008"
         "4C414D5041313233"},
        {"read IN1 at its input",
         [&](TfmCommon& c, auto h, auto p) { return c.GetInpDigi(h, p, SimPassword, "IN1", 0, state); },
         "1200"
         "0008"
         "494E310000000000"},
        {"read OUT1 at its output",
         [&](TfmCommon& c, auto h, auto p) { return c.GetInpDigi(h, p, SimPassword, "OUT1", 1, state); },
         "1300"
         "0008"
         "4F55543100000000"},
        {"set AOUT1 to 1.5",
         [](TfmCommon& c, auto h, auto p) { return c.SetOutAnal(h, p, SimPassword, "AOUT1", 1.5f); },
         "1800"
         "000C"
         "414F555431000000"
         "00003A98"},
        {"set AOUT1 to 0.03125 (312.5 rounds to even)",
         [](TfmCommon& c, auto h, auto p) { return c.SetOutAnal(h, p, SimPassword, "AOUT1", 0.03125f); },
         "1800"
         "000C"
         "414F555431000000"
         "00000138"},
        {"set AOUT1 to -1",
         [](TfmCommon& c, auto h, auto p) { return c.SetOutAnal(h, p, SimPassword, "AOUT1", -1.0f); },
         "1800"
         "000C"
         "414F555431000000"
         "FFFFD8F0"},
        // 1e15 is 999999986991104 in single precision; times 10000 it is beyond 64 bits
        // signed, and still only its low 32 bits travel.
        {"set AOUT1 to 1e15",
         [](TfmCommon& c, auto h, auto p) { return c.SetOutAnal(h, p, SimPassword, "AOUT1", 1e15f); },
         "1800"
         "000C"
         "414F555431000000"
         "40000000"},
        {"set AOUT1 to -1e15",
         [](TfmCommon& c, auto h, auto p) { return c.SetOutAnal(h, p, SimPassword, "AOUT1", -1e15f); },
         "1800"
         "000C"
         "414F555431000000"
         "C0000000"},
        {"read AN1 at its input",
         [&](TfmCommon& c, auto h, auto p) { return c.GetInpAnal(h, p, SimPassword, "AN1", 0, value); },
         "1A00"
         "0008"
         "414E310000000000"},
        {"read AOUT1 at its output",
         [&](TfmCommon& c, auto h, auto p) { return c.GetInpAnal(h, p, SimPassword, "AOUT1", 1, value); },
         "1B00"
         "0008"
         "414F555431000000"},
    };
    for (const WireCase& c : cases) {
        SCOPED_TRACE(c.what);
        sim->ClearRequests();
        EXPECT_TRUE(c.call(common, Loopback, port)) << common.GetLastError().toStdString();
        ASSERT_EQ(sim->Requests().size(), 1);
        EXPECT_EQ(sim->Requests()[0].toHex().toUpper(),
                  (LongHeaderStart(SimPassword) + Hex(c.tail)).toHex().toUpper());
    }
    EXPECT_EQ(sim->Connections(), 1); // one link served them all
}

TEST_F(Circuits, ValuesReachTheControllerAndComeBack) {
    ASSERT_TRUE(common.SetOutDigi(Loopback, port, SimPassword, "OUT2", 1));
    EXPECT_TRUE(sim->Digital("OUT2"));
    ASSERT_TRUE(common.SetOutDigi(Loopback, port, SimPassword, "OUT2", 2));
    EXPECT_FALSE(sim->Digital("OUT2"));
    ASSERT_TRUE(common.SetOutDigi(Loopback, port, SimPassword, "OUT2", 2));
    EXPECT_TRUE(sim->Digital("OUT2"));
    ASSERT_TRUE(common.SetOutDigi(Loopback, port, SimPassword, "OUT2", 0));
    EXPECT_FALSE(sim->Digital("OUT2"));

    sim->SetDigital("IN3", true);
    bool on = false;
    ASSERT_TRUE(common.GetInpDigi(Loopback, port, SimPassword, "IN3", 0, on));
    EXPECT_TRUE(on);
    sim->SetDigital("IN3", false);
    ASSERT_TRUE(common.GetInpDigi(Loopback, port, SimPassword, "IN3", 0, on));
    EXPECT_FALSE(on);

    float value = 0;
    ASSERT_TRUE(common.SetOutAnal(Loopback, port, SimPassword, "AOUT1", 1.5f));
    EXPECT_FLOAT_EQ(sim->Analog("AOUT1"), 1.5f);
    ASSERT_TRUE(common.GetInpAnal(Loopback, port, SimPassword, "AOUT1", 1, value));
    EXPECT_FLOAT_EQ(value, 1.5f);
    // A negative value travels in two's complement but is read back unsigned.
    ASSERT_TRUE(common.SetOutAnal(Loopback, port, SimPassword, "AOUT1", -1.0f));
    ASSERT_TRUE(common.GetInpAnal(Loopback, port, SimPassword, "AOUT1", 1, value));
    EXPECT_FLOAT_EQ(value, 429495.72f);
    sim->SetAnalog("AN2", 12.3456f);
    ASSERT_TRUE(common.GetInpAnal(Loopback, port, SimPassword, "AN2", 0, value));
    EXPECT_NEAR(value, 12.3456, 1e-4);
}

struct ErrorCase {
    const char* what;
    QString host;
    int port; // -1: the simulator's, -2: a closed port
    QString pass;
    QString circ;
    char op; // 'D' 'A' 'd' 'a'
    QString text;
    bool touchesNetwork;
};

TEST_F(Circuits, EveryLastErrorText) {
    const QString param = Pl(lt::BadConnParam);
    const QString connect = Pl(lt::CannotConnect);
    const QString noAck = Pl(lt::NoAcknowledge);
    const QString digital9 = QString::fromUtf8("Brak wskazanego obwodu cyfrowego „OUT9” w QuelNet-ie.");
    const QString analog = QString::fromUtf8("Brak wskazanego obwodu analogowego „%1” w QuelNet-ie.");
    const ErrorCase cases[] = {
        {"empty host", "", -1, SimPassword, "OUT1", 'D', param, false},
        {"port 0", Loopback, 0, SimPassword, "OUT1", 'd', param, false},
        {"empty circuit", Loopback, -1, SimPassword, "", 'a', param, false},
        {"circuit name of nine characters", Loopback, -1, SimPassword, "LAMPA1234", 'D', param, false},
        {"nothing listens", Loopback, -2, SimPassword, "OUT1", 'A', connect, true},
        {"no such output", Loopback, -1, SimPassword, "OUT9", 'D', digital9, true},
        {"no such digital input", Loopback, -1, SimPassword, "OUT9", 'd', digital9, true},
        {"an input is no output", Loopback, -1, SimPassword, "IN1", 'D',
         QString::fromUtf8("Brak wskazanego obwodu cyfrowego „IN1” w QuelNet-ie."), true},
        {"no such analog output", Loopback, -1, SimPassword, "OUT1", 'A', analog.arg("OUT1"), true},
        {"no such analog circuit", Loopback, -1, SimPassword, "AN9", 'a', analog.arg("AN9"), true},
        {"wrong password: the controller hangs up", Loopback, -1, "0000", "OUT1", 'D', noAck, true},
        {"wrong password on a read", Loopback, -1, "0000", "AN1", 'a', noAck, true},
    };
    const quint16 closed = ClosedPort();
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.what);
        const quint16 p = c.port == -1 ? port : c.port == -2 ? closed : quint16(c.port);
        const int connectionsBefore = sim->Connections();
        sim->ClearRequests();
        common.EndComm();
        bool on = true;
        float value = 7;
        bool ok = true;
        switch (c.op) {
        case 'D':
            ok = common.SetOutDigi(c.host, p, c.pass, c.circ, 1);
            break;
        case 'A':
            ok = common.SetOutAnal(c.host, p, c.pass, c.circ, 1);
            break;
        case 'd':
            ok = common.GetInpDigi(c.host, p, c.pass, c.circ, 0, on);
            break;
        case 'a':
            ok = common.GetInpAnal(c.host, p, c.pass, c.circ, 0, value);
            break;
        }
        EXPECT_FALSE(ok);
        EXPECT_EQ(common.GetLastError(), c.text + Suffix(c.host, p));
        if (c.op == 'd') {
            EXPECT_FALSE(on);
        }
        if (c.op == 'a') {
            EXPECT_EQ(value, 0);
        }
        if (!c.touchesNetwork) {
            EXPECT_EQ(sim->Connections(), connectionsBefore);
            EXPECT_TRUE(sim->Requests().isEmpty());
        }
    }
}

TEST_F(Circuits, ExampleTextOfAMissingCircuit) {
    sim::SimConfig config;
    config.circuits = {{"OUT2", false, true}};
    StartSim(config);
    ASSERT_FALSE(common.SetOutDigi(Loopback, port, SimPassword, "OUT1", 1));
    EXPECT_EQ(common.GetLastError(),
              QString::fromUtf8("Brak wskazanego obwodu cyfrowego „OUT1” w QuelNet-ie. (127.0.0.1:") +
                  PortText() + " ).");
}

TEST_F(Circuits, GetLastErrorIsEmptyBeforeAnyCall) {
    EXPECT_EQ(common.GetLastError(), "");
    common.EndComm(); // never connected: nothing happens
    EXPECT_EQ(sim->Connections(), 0);
    const TfmCommon::Timeouts defaults = TfmCommon().GetTimeouts();
    EXPECT_EQ(defaults.Link, 5000);
    EXPECT_EQ(defaults.Identify, 1000);
    EXPECT_EQ(defaults.RetryPause, 100);
}

TEST_F(Circuits, LinkIsReusedWhileHostTextAndPortStayEqual) {
    bool on;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on));
    EXPECT_EQ(sim->Connections(), 1);
    EXPECT_EQ(sim->OpenConnections(), 1);

    // Two spellings of one address are two hosts to the link: the host is
    // compared as text.
    const QStringList spellings = {"127.000.000.001", Loopback, "localhost", "localhost", Loopback};
    const QList<int> expected = {2, 3, 4, 4, 5};
    for (int i = 0; i < spellings.size(); ++i) {
        SCOPED_TRACE(spellings[i].toStdString());
        ASSERT_TRUE(common.GetInpDigi(spellings[i], port, SimPassword, "IN1", 0, on))
            << common.GetLastError().toStdString();
        EXPECT_EQ(sim->Connections(), expected[i]);
    }

    // Another port closes the link; coming back opens a new one.
    const quint16 closed = ClosedPort();
    EXPECT_FALSE(common.GetInpDigi(Loopback, closed, SimPassword, "IN1", 0, on));
    EXPECT_EQ(common.GetLastError(), Pl(lt::CannotConnect) + Suffix(Loopback, closed));
    ASSERT_TRUE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on));
    EXPECT_EQ(sim->Connections(), 6);

    // EndComm closes it; the next call reconnects.
    common.EndComm();
    ASSERT_TRUE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on));
    EXPECT_EQ(sim->Connections(), 7);
    EXPECT_EQ(sim->OpenConnections(), 1);
}

TEST_F(Circuits, HostIsAnIPv4AddressOrAName) {
    // Blanks around an address or a name are no part of it; an IPv6 address is refused
    // as it stands (never sent to the resolver as a name), as is no host.
    bool on;
    EXPECT_TRUE(common.GetInpDigi(" 127.0.0.1 ", port, SimPassword, "IN1", 0, on))
        << common.GetLastError().toStdString();
    EXPECT_TRUE(common.GetInpDigi(" localhost ", port, SimPassword, "IN1", 0, on))
        << common.GetLastError().toStdString();
    EXPECT_FALSE(common.GetInpDigi("::1", port, SimPassword, "IN1", 0, on));
    EXPECT_EQ(common.GetLastError(), Pl(lt::CannotConnect) + Suffix("::1", port));
    EXPECT_FALSE(common.GetInpDigi("", port, SimPassword, "IN1", 0, on));
}

TEST_F(Circuits, LinkClosedByTheControllerIsReopened) {
    sim::Faults f;
    f.closeAfterRequests = 1;
    sim->SetFaults(f);
    bool on;
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on)) << i;
        EXPECT_EQ(sim->Connections(), i);
        ASSERT_TRUE(WaitUntil([&] { return sim->OpenConnections() == 0; }));
    }
}

TEST_F(Circuits, NoReplyWithinTheTimeOutIsNoAcknowledgement) {
    ShortenLinkTimeout();
    sim::Faults f;
    f.dropReplyTo = {sim->RequestCount() + 1};
    sim->SetFaults(f);
    bool on = true;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on));
    EXPECT_LT(clock.elapsed(), 4500); // the shortened time-out, not the 5000 ms default
    EXPECT_EQ(common.GetLastError(), Pl(lt::NoAcknowledge) + Suffix(Loopback, port));
    EXPECT_FALSE(on);
    // The link was closed: the next call reconnects and is answered.
    sim->SetDigital("IN1", true);
    ASSERT_TRUE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on));
    EXPECT_TRUE(on);
    EXPECT_EQ(sim->Connections(), 2);
}

TEST_F(Circuits, LateReplyIsNotTakenForTheNextAnswer) {
    ShortenLinkTimeout();
    sim::Faults f;
    f.replyDelayMs = 2000;
    sim->SetFaults(f);
    bool on;
    EXPECT_FALSE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on));
    sim->SetFaults({});
    sim->SetAnalog("AN1", 2.5f);
    float value = 0;
    ASSERT_TRUE(common.GetInpAnal(Loopback, port, SimPassword, "AN1", 0, value))
        << common.GetLastError().toStdString();
    EXPECT_FLOAT_EQ(value, 2.5f);
}

// A wait that runs what it is handed on a thread of its own, as a window's
// wait does, and counts the waits handed on.
class ThreadWait : public ILinkWait {
public:
    void Run(const std::function<void()>& blocking) override {
        ++runs;
        std::thread(blocking).join();
    }
    int runs = 0;
};

TEST_F(Circuits, LinkWithAWaitHandsOnSlowRepliesAndKeepsBytesAndTimeOut) {
    ThreadWait wait;
    common.SetLinkWait(&wait);
    ShortenLinkTimeout();
    sim::Faults f;
    f.replyDelayMs = 200;
    sim->SetFaults(f);
    sim->SetDigital("IN1", true);
    bool on = false;
    ASSERT_TRUE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on))
        << common.GetLastError().toStdString();
    EXPECT_TRUE(on);
    EXPECT_GE(wait.runs, 1);
    EXPECT_EQ(sim->Requests().value(0), circuit::GetDigitalRequest(SimPassword, "IN1", 0));

    // No reply: the whole time-out, then the no-acknowledgement text.
    f = {};
    f.dropReplyTo = {sim->RequestCount() + 1};
    sim->SetFaults(f);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on));
    EXPECT_GE(clock.elapsed(), 990);
    EXPECT_LT(clock.elapsed(), 4500);
    EXPECT_EQ(common.GetLastError(), Pl(lt::NoAcknowledge) + Suffix(Loopback, port));

    // Set after the failure: the link reconnects and the value arrives.
    ASSERT_TRUE(common.SetOutAnal(Loopback, port, SimPassword, "AOUT1", 1.5f));
    EXPECT_FLOAT_EQ(sim->Analog("AOUT1"), 1.5f);
}

} // namespace
