// Reply checks and status-page reading without a controller, and the replies
// no simulated controller gives, from a scripted peer over loopback.
#include "tests/core/link/LinkFixtures.h"
#include "tests/core/link/ScriptedPeer.h"
#include "core/protocol/CircuitReplies.h"
#include "core/protocol/Frames.h"
#include "core/protocol/StatusPage.h"
#include "core/link/DeviceLink.h"

#include "core/base/InterfaceTexts.h"

#include <QElapsedTimer>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace quelnet;
using namespace quelnet::proto;
using quelnet::circuit::Verdict;
using quelnet::test::PeerAnswer;
using quelnet::test::RecordingLog;
using quelnet::test::RecordingProgress;
using quelnet::test::ScriptedPeer;

namespace {

QByteArray Hex(const char* h) {
    return QByteArray::fromHex(h);
}

// Binds `fd` to 127.0.0.1 on a free port; `at` receives the address it got.
bool BindToLoopback(int fd, sockaddr_in& at) {
    at = {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    return ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
           ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &length) == 0;
}

// ---------------------------------------------------------------- reply checks

struct ReplyCase {
    const char* what;
    char kind; // 's' set, 'd' digital read, 'a' analog read
    quint8 mode;
    QByteArray reply;
    Verdict verdict;
};

TEST(CircuitReplies, Verdicts) {
    const QByteArray value = Hex("00003A98");
    const ReplyCase cases[] = {
        {"set done", 's', 0, BuildLongReply(0x08, 1), Verdict::Done},
        {"set: no such circuit", 's', 0, BuildLongReply(0x08, 0), Verdict::NoCircuit},
        {"set: status 2", 's', 0, BuildLongReply(0x08, 2), Verdict::NoAck},
        {"set: wrong code", 's', 0, BuildLongReply(0x09, 1), Verdict::NoAck},
        {"set: announces a payload", 's', 0, BuildLongReply(0x08, 1, "xy"), Verdict::NoAck},
        {"set: empty reply", 's', 0, QByteArray(), Verdict::NoAck},
        {"digital input", 'd', 0, BuildLongReply(0x42, 1, QByteArray(8, 0)), Verdict::Done},
        {"digital output", 'd', 1, BuildLongReply(0x43, 1, QByteArray(8, 0)), Verdict::Done},
        {"digital output answered as input", 'd', 1, BuildLongReply(0x42, 1, QByteArray(8, 0)),
         Verdict::NoAck},
        {"digital: no such circuit", 'd', 0, BuildLongReply(0x08, 0), Verdict::NoCircuit},
        {"digital: ack instead of state", 'd', 0, BuildLongReply(0x08, 1), Verdict::NoAck},
        {"digital: short payload", 'd', 0, BuildLongReply(0x42, 1, QByteArray(7, 0)), Verdict::NoAck},
        {"digital: mode beyond a byte's reach", 'd', 0xBE, BuildLongReply(0x00, 1, QByteArray(8, 0)),
         Verdict::NoAck},
        {"analog input", 'a', 0, BuildLongReply(0x4A, 0, QByteArray(8, 0) + value), Verdict::Done},
        {"analog output", 'a', 1, BuildLongReply(0x4B, 0, QByteArray(8, 0) + value), Verdict::Done},
        {"analog answered as digital", 'a', 0, BuildLongReply(0x42, 0, QByteArray(8, 0) + value),
         Verdict::NoAck},
        {"analog: no such circuit", 'a', 0, BuildLongReply(0x08, 0), Verdict::NoCircuit},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        bool state = false;
        float analog = -7;
        const Verdict v = c.kind == 's'   ? circuit::CheckSetReply(c.reply)
                          : c.kind == 'd' ? circuit::CheckDigitalReply(c.reply, c.mode, state)
                                          : circuit::CheckAnalogReply(c.reply, c.mode, analog);
        EXPECT_EQ(v, c.verdict);
        if (c.kind == 'a') {
            EXPECT_FLOAT_EQ(analog, v == Verdict::Done ? 1.5f : -7.0f); // untouched unless read
        }
    }
}

TEST(CircuitReplies, DigitalStateIsOnOnlyForOne) {
    for (const int status : {0, 1, 2, 0xFF}) {
        bool state = status != 1;
        EXPECT_EQ(
            circuit::CheckDigitalReply(BuildLongReply(0x42, quint8(status), QByteArray(8, 0)), 0, state),
            Verdict::Done);
        EXPECT_EQ(state, status == 1) << status;
    }
}

TEST(CircuitReplies, NamesOfOneToEightCharactersFit) {
    EXPECT_FALSE(circuit::NameFits(""));
    EXPECT_TRUE(circuit::NameFits("A"));
    EXPECT_TRUE(circuit::NameFits("ABCDEFGH"));
    EXPECT_FALSE(circuit::NameFits("ABCDEFGHI"));
}

// ----------------------------------------------------------------- status page

QString Page(const char* latin1) {
    return QString::fromLatin1(latin1);
}

struct PageCase {
    const char* what;
    QString page;
    bool ok;
    QString ver, ser, lng;
};

TEST(StatusPage, Parse) {
    const QString pl = Page("<p>Napi\xEA"
                            "cie zasilania 12.1V</p><p>Temperatura 23C</p>");
    const QString lt = Page("<p>Maitinimo \xE7"
                            "tampa 12.1V</p><p>Temperat\xFE"
                            "ra 23C</p>");
    const PageCase cases[] = {
        {"Polish", pl + "<p>Numer V1.3 S0817092</p>", true, "V1.3", "S0817092", "PL"},
        {"Lithuanian", lt + "<p>Numeris V1.2 S0900001</p>", true, "V1.2", "S0900001", "LT"},
        {"both sets: Polish wins", lt + "Numeris V9 LLLLLLLL " + pl + "Numer V1.3 S0817092", true, "V1.3",
         "S0817092", "PL"},
        {"version of 12 characters without a blank", pl + "Numer V1234567890XYABCDEFGHIJ", true, "V123456789",
         "XYABCDEF", "PL"},
        {"page ends early", pl + "Numer V1.3 S08", true, "V1.3", "S08", "PL"},
        {"page ends in the version", pl + "Numer V1", true, "V1", "", "PL"},
        {"first Numer counts", pl + "Numer V1.3 S0817092 Numer V2 X", true, "V1.3", "S0817092", "PL"},
        {"no temperature",
         Page("Napi\xEA"
              "cie zasilania Numer V1.3 S0817092"),
         false, "", "", ""},
        {"marker without its blank",
         Page("Napi\xEA"
              "cie zasilania Temperatura Numer:V1.3"),
         false, "", "", ""},
        {"Polish letters in UTF-8 are not the marker",
         QString::fromUtf8("Napięcie zasilania Temperatura Numer V1"), false, "", "", ""},
        {"empty", QString(), false, "", "", ""},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.what);
        QString ver, ser, lng;
        EXPECT_EQ(statuspage::Parse(c.page, ver, ser, lng), c.ok);
        EXPECT_EQ(ver, c.ver);
        EXPECT_EQ(ser, c.ser);
        EXPECT_EQ(lng, c.lng);
    }
}

TEST(StatusPage, RequestPieces) {
    EXPECT_EQ(statuspage::RequestUrl("192.168.0.177", "80"), "http://192.168.0.177:80/0");
    const auto headers80 = statuspage::RequestHeaders("192.168.0.177", "80");
    const auto headers81 = statuspage::RequestHeaders("192.168.0.177", "8081");
    ASSERT_EQ(headers80.size(), 7);
    EXPECT_EQ(headers80[5], qMakePair(QByteArray("Referer"), QByteArray("http://192.168.0.177/%5C")));
    EXPECT_EQ(headers81[5].second, QByteArray("http://192.168.0.177:8081/%5C"));
    EXPECT_EQ(headers80[3], qMakePair(QByteArray("Accept-Encoding"), QByteArray("gzip, deflate")));
    // The password travels in the ANSI code page and is not URL-encoded.
    EXPECT_EQ(statuspage::RequestBody(QString::fromUtf8("a&b=ł%")), QByteArray("y1=a&b=\xB3%"));
    EXPECT_EQ(statuspage::RequestBody(""), QByteArray("y1="));
}

// ------------------------------------------------------- scripted peer: frames

constexpr int ShortTimeout = 700; // long enough for loopback on a loaded machine

class PeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TfmCommon::Timeouts t;
        t.Link = ShortTimeout;
        t.Identify = ShortTimeout;
        t.RetryPause = 1;
        common.SetTimeouts(t);
    }
    TfmCommon common;
};

TEST_F(PeerTest, ReadReplyResults) {
    // Answers: 0 payload bytes; 3 announced of which 2 arrive; a whole reply.
    ScriptedPeer peer(ScriptedPeer::Mode::Frames, [](const QByteArray&, int i) {
        if (i == 0)
            return PeerAnswer{BuildLongReply(0x08, 1)};
        if (i == 1)
            return PeerAnswer{BuildLongReply(0xB1, 0, "abc").left(18)};
        return PeerAnswer{BuildLongReply(0xB1, 0, "abc")};
    });
    QByteArray reply = "stale";
    EXPECT_EQ(common.SendRequest(0xAF, "", 0), 16); // not connected: nothing written
    EXPECT_EQ(common.ReadReply(reply), -2);
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(peer.Connections(), 0);

    ASSERT_TRUE(common.OpenConnection("127.0.0.1", QString::number(peer.Port()), ShortTimeout));
    EXPECT_EQ(common.SendRequest(0xAF, "", 0), 16);
    EXPECT_EQ(common.ReadReply(reply), 16);
    EXPECT_EQ(common.SendRequest(0xA1, "", 0, PageAddress(6), QByteArray(256, 'x')), 275);
    EXPECT_EQ(common.ReadReply(reply), -1);
    EXPECT_EQ(reply.size(), 18);
    common.Reconnect();
    EXPECT_EQ(common.SendRequest(0xA1, "", 0, PageAddress(6), QByteArray(256, 'x')), 275);
    EXPECT_EQ(common.ReadReply(reply), 19);
    EXPECT_EQ(reply.mid(16), QByteArray("abc"));
    common.CloseConnection();
    EXPECT_EQ(peer.Connections(), 2);
    EXPECT_EQ(peer.Requests()[1].mid(14, 2), Hex("0103"));
}

struct OddReply {
    const char* what;
    char op; // 'D' SetOutDigi, 'A' SetOutAnal, 'd' GetInpDigi, 'a' GetInpAnal
    quint8 mode;
    QByteArray reply;
    bool result;
    double state;
    const char* error; // "" none
};

TEST_F(PeerTest, RepliesTheSimulatorNeverGives) {
    const QString noAck = Pl(lt::NoAcknowledge);
    const OddReply cases[] = {
        {"output read answered as input", 'd', 1, BuildLongReply(0x42, 1, QByteArray(8, 0)), false, 0, "n"},
        {"output read", 'd', 1, BuildLongReply(0x43, 1, QByteArray(8, 0)), true, 1, ""},
        {"state byte 2 is off", 'd', 0, BuildLongReply(0x42, 2, QByteArray(8, 0)), true, 0, ""},
        {"set answered with status 2", 'D', 2, BuildLongReply(0x08, 2), false, 0, "n"},
        {"set answer announcing a payload", 'D', 1, BuildLongReply(0x08, 1, "zz"), false, 0, "n"},
        {"analog set answered 'no circuit'", 'A', 0, BuildLongReply(0x08, 0), false, 0, "a"},
        {"negative analog not read back", 'a', 1, BuildLongReply(0x4B, 0, QByteArray(8, 0) + Hex("FFFFD8F0")),
         true, 429495.72, ""},
        {"analog read answered as digital", 'a', 0, BuildLongReply(0x42, 1, QByteArray(12, 0)), false, 0,
         "n"},
    };
    for (const OddReply& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPeer peer(ScriptedPeer::Mode::Frames,
                          [&](const QByteArray&, int) { return PeerAnswer{c.reply}; });
        const quint16 port = peer.Port();
        const QString suffix = " (127.0.0.1:" + QString::number(port) + " ).";
        bool digital = true;
        float analog = -1;
        bool ok = false;
        switch (c.op) {
        case 'D':
            ok = common.SetOutDigi("127.0.0.1", port, "p", "OUT1", c.mode);
            break;
        case 'A':
            ok = common.SetOutAnal("127.0.0.1", port, "p", "AOUT1", 2.0f);
            break;
        case 'd':
            ok = common.GetInpDigi("127.0.0.1", port, "p", "OUT1", c.mode, digital);
            break;
        case 'a':
            ok = common.GetInpAnal("127.0.0.1", port, "p", "AOUT1", c.mode, analog);
            break;
        }
        EXPECT_EQ(ok, c.result);
        if (c.op == 'd') {
            EXPECT_EQ(digital, c.state != 0);
            EXPECT_EQ(peer.Requests().value(0).mid(12, 1), QByteArray(1, char(0x12 + c.mode)));
        }
        if (c.op == 'a') {
            EXPECT_FLOAT_EQ(analog, float(c.state));
        }
        if (*c.error == 'n') {
            EXPECT_EQ(common.GetLastError(), noAck + suffix);
        }
        if (*c.error == 'a') {
            EXPECT_EQ(common.GetLastError(),
                      QString::fromUtf8("Brak wskazanego obwodu analogowego „AOUT1” w QuelNet-ie.") + suffix);
        }
        common.EndComm();
    }
}

TEST_F(PeerTest, LinkBrokenMidExchangeIsNoAcknowledgementAndReconnects) {
    ScriptedPeer peer(ScriptedPeer::Mode::Frames, [](const QByteArray&, int i) {
        if (i == 0)
            return PeerAnswer{{}, true}; // closes without a reply
        return PeerAnswer{BuildLongReply(0x08, 1)};
    });
    EXPECT_FALSE(common.SetOutDigi("127.0.0.1", peer.Port(), "", "OUT1", 1));
    EXPECT_EQ(common.GetLastError(),
              Pl(lt::NoAcknowledge) + " (127.0.0.1:" + QString::number(peer.Port()) + " ).");
    EXPECT_TRUE(common.SetOutDigi("127.0.0.1", peer.Port(), "", "OUT1", 1));
    EXPECT_EQ(peer.Connections(), 2);
}

TEST_F(PeerTest, MidIdentifyNeedsExactly58Bytes) {
    for (const int size : {57, 58}) {
        ScriptedPeer peer(ScriptedPeer::Mode::Frames, [size](const QByteArray&, int) {
            QByteArray r(58, 'Z');
            r.replace(0, 6, "V4.0.1");
            r.replace(54, 4, "4C54"); // "LT"
            return PeerAnswer{r.left(size)};
        });
        QString ver = "x", rea = "x", ser = "x", lng = "x";
        QChar boa = 'x';
        bool con = true;
        EXPECT_EQ(
            common.CheckMidQuelnet("127.0.0.1", QString::number(peer.Port()), ver, boa, con, rea, ser, lng),
            size == 58);
        EXPECT_EQ(peer.Requests().value(0), Hex("D5AA00000000"));
        if (size == 57) {
            EXPECT_TRUE(ver.isEmpty() && rea.isEmpty() && ser.isEmpty() && lng.isEmpty());
            EXPECT_EQ(boa, QChar(0));
            EXPECT_FALSE(con);
        } else {
            EXPECT_EQ(ver, "V4.0.1");
            EXPECT_EQ(lng, "LT");
            EXPECT_FALSE(con); // 'Z' is not the jumper byte
        }
    }
}

TEST_F(PeerTest, NewIdentifyShortReplyGivesPolishOnly) {
    ScriptedPeer peer(ScriptedPeer::Mode::Frames, [](const QByteArray&, int) {
        return PeerAnswer{BuildLongReply(0xBA, 0, QByteArray(31, 'e'))};
    });
    QString ver, rea, ser, lng;
    QChar boa = 'x';
    bool con = true;
    EXPECT_FALSE(common.CheckNewQuelnet("127.0.0.1", QString::number(peer.Port()), "3958", ver, boa, con, rea,
                                        ser, lng));
    EXPECT_EQ(lng, "PL");
    EXPECT_TRUE(ver.isEmpty() && rea.isEmpty() && ser.isEmpty());
    EXPECT_FALSE(con);
    EXPECT_EQ(peer.Requests().value(0), BuildLongFrame(0xAA, "3958", 0));
}

// What a controller answers to each request: the long and the short
// identify, and the circuit commands.
QByteArray ControllerAnswer(const QByteArray& request) {
    const QByteArray fields = QByteArray("V4.0.1") + 'A' + 'e' + "20140612" + "S0817092" + "PL";
    if (request.size() == 6) { // short identify: 58 bytes, the language as hexadecimal digit pairs
        QByteArray r(58, '\0');
        r.replace(0, 6, "V4.0.1");
        r[7] = 'A';
        r[9] = 'e';
        r.replace(10, 16, "20140612S0817092");
        return r.replace(54, 4, "504C");
    }
    switch (uchar(request[12])) {
    case 0xAA:
        return BuildLongReply(0xBA, 0, fields + QByteArray(6, '\0'));
    case 0x12:
        return BuildLongReply(0x42, 1, request.mid(16, 8));
    case 0x1A:
        return BuildLongReply(0x4A, 0, request.mid(16, 8) + Hex("00003A98"));
    default:
        return BuildLongReply(0x08, 1);
    }
}

// Every operation that believes a reply: both identifications, the circuit
// reads and a set. Each true when it took the reply for a controller's.
QList<bool> Believed(TfmCommon& common, quint16 port) {
    const QString p = QString::number(port);
    QString ver, rea, ser, lng;
    QChar boa;
    bool con = false, state = false;
    float value = 0;
    QList<bool> r;
    r << common.CheckNewQuelnet("127.0.0.1", p, "3958", ver, boa, con, rea, ser, lng)
      << common.CheckMidQuelnet("127.0.0.1", p, ver, boa, con, rea, ser, lng)
      << common.GetInpDigi("127.0.0.1", port, "3958", "IN1", 0, state)
      << common.GetInpAnal("127.0.0.1", port, "3958", "AN1", 0, value)
      << common.SetOutDigi("127.0.0.1", port, "3958", "OUT1", 1);
    common.EndComm();
    return r;
}

// Any TCP service answers something. Only a reply in the form of the frame
// tables (length, code, printable fields) identifies a controller or gives a
// circuit's state.
TEST_F(PeerTest, AServiceThatIsNotAControllerIsNeverBelieved) {
    using Answer = std::function<QByteArray(const QByteArray& request)>;
    auto constant = [](const QByteArray& bytes) {
        return Answer([bytes](const QByteArray&) { return bytes; });
    };
    // A controller's answer with bytes changed: in the short identify ('S')
    // or the long identify ('L').
    auto changed = [](char where, int at, const QByteArray& bytes) {
        return Answer([=](const QByteArray& request) {
            QByteArray r = ControllerAnswer(request);
            const bool isShort = request.size() == 6;
            const bool hit = where == 'S' ? isShort : !isShort && uchar(request[12]) == 0xAA;
            return hit ? r.replace(at, bytes.size(), bytes) : r;
        });
    };
    const QByteArray http = "HTTP/1.0 400 Bad Request\r\nContent-Type: text/html\r\nContent-Length: 45\r\n"
                            "Connection: close\r\n\r\n<html><body>400 Bad Request</body></html>\r\n";
    const QList<bool> none = {false, false, false, false, false};
    const struct {
        const char* what;
        Answer answer;
        QList<bool> believed; // long identify, short identify, digital read, analog read, set
    } cases[] = {
        {"a web server", constant(http), none},
        {"another service's greeting",
         constant("SSH-2.0-OpenSSH_9.2p1 Debian-2+deb12u3\r\nProtocol mismatch.\r\n"), none},
        {"58 printable bytes without a version", constant(QByteArray(54, 'x') + "504C" + QByteArray(40, 'x')),
         none},
        {"zero bytes with the language as letters", constant(QByteArray(54, '\0') + "PL5x"), none},
        {"long replies one byte longer than the table's",
         Answer([](const QByteArray& request) {
             QByteArray r = ControllerAnswer(request);
             if (request.size() != 6) {
                 r.append('\0');
                 r[15] = char(r[15] + 1); // announced
             }
             return r;
         }),
         {true, true, false, false, false}},
        {"long identify: a version that is not one",
         changed('L', 16, "v4.0.1"),
         {false, true, true, true, true}},
        {"long identify: a serial with a control character",
         changed('L', 33, "\x07"),
         {false, true, true, true, true}},
        {"short identify: a build with a control character",
         changed('S', 12, "\x1B"),
         {true, false, true, true, true}},
        {"short identify: the language not in digits",
         changed('S', 54, "PL"),
         {true, false, true, true, true}},
    };
    {
        SCOPED_TRACE("a controller");
        ScriptedPeer peer(ScriptedPeer::Mode::Frames, [](const QByteArray& request, int) {
            return PeerAnswer{ControllerAnswer(request)};
        });
        EXPECT_EQ(Believed(common, peer.Port()), QList<bool>({true, true, true, true, true}));
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPeer peer(ScriptedPeer::Mode::Frames,
                          [&c](const QByteArray& request, int) { return PeerAnswer{c.answer(request)}; });
        EXPECT_EQ(Believed(common, peer.Port()), c.believed);
    }
}

// A controller that restarts the hard way: it takes the update start and
// then neither closes the link nor takes connections for a while. The
// connection attempts after a quiet link see the restart.
TEST_F(PeerTest, AControllerThatGoesQuietAndTakesNoConnectionsHasRestarted) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    ASSERT_TRUE(BindToLoopback(listener, address));
    ASSERT_EQ(::listen(listener, 4), 0);
    int link = -1;
    std::thread controller([&] {
        link = ::accept(listener, nullptr, nullptr);
        auto readExactly = [&](char* into, size_t n) {
            for (size_t got = 0; got < n;) {
                const ssize_t r = ::recv(link, into + got, n - got, 0);
                if (r <= 0)
                    return false;
                got += size_t(r);
            }
            return true;
        };
        char frame[262];
        for (int page = 0; page < 2048 && readExactly(frame, sizeof frame); ++page)
            ::send(link, frame, 6, MSG_NOSIGNAL); // the echo of the header
        readExactly(frame, 6);                    // the update start
        ::close(listener);                        // down: connections are refused from now on
    });
    TfmCommon::Timeouts t = common.GetTimeouts();
    t.Link = 3000;
    common.SetTimeouts(t);
    RecordingLog log;
    RecordingProgress progress;
    QElapsedTimer clock;
    clock.start();
    const bool started = common.UpdateDataFlash("127.0.0.1", QString::number(ntohs(address.sin_port)), "V214",
                                                QByteArray(512 * 1024, 'x'), log, progress, false);
    const qint64 elapsed = clock.elapsed();
    controller.join();
    ::close(link);
    EXPECT_TRUE(started);
    EXPECT_EQ(common.LastUpdateEnd(), UpdateEnd::Started);
    EXPECT_EQ(log.lines.mid(1), QStringList({Pl(lt::UpdateOk), Pl(lt::RestartAtUpdateEnd)}));
    EXPECT_GE(elapsed, 1000); // the link stayed quiet for a second first
}

// Configuration commands answered with the codes that must be refused.
PeerAnswer PagesOkElse(const QByteArray& request, const QByteArray& other) {
    const int command = uchar(request[12]);
    if (command == 0xA1)
        return {BuildLongReply(0xB1, 0, request.mid(16, 3))};
    return {other};
}

TEST_F(PeerTest, PrepareAnsweredWithTakeOverCodeIsRefused) {
    ScriptedPeer peer(ScriptedPeer::Mode::Frames,
                      [](const QByteArray&, int) { return PeerAnswer{BuildLongReply(0xBE, 0)}; });
    RecordingLog log;
    RecordingProgress progress;
    QByteArray config, texts;
    EXPECT_FALSE(
        common.GetConfig("127.0.0.1", QString::number(peer.Port()), "", log, progress, config, texts));
    EXPECT_EQ(log.lines, QStringList({Pl(lt::TakeOverConfig), Pl(lt::TakeOverConfigError)}));
    EXPECT_EQ(peer.Requests().size(), 1);
}

TEST_F(PeerTest, TakeOverAnsweredWithBcIsRefused) {
    ScriptedPeer peer(ScriptedPeer::Mode::Frames,
                      [](const QByteArray& r, int) { return PagesOkElse(r, BuildLongReply(0xBC, 0)); });
    RecordingLog log;
    RecordingProgress progress;
    EXPECT_FALSE(common.SetConfig("127.0.0.1", QString::number(peer.Port()), "", log, progress, true, false,
                                  false, QByteArray(8192, 1), QByteArray()));
    EXPECT_EQ(log.lines,
              QStringList({Pl(lt::WritingConfigOk), Pl(lt::TakeOverConfig), Pl(lt::TakeOverConfigError)}));
    EXPECT_EQ(uchar(peer.Requests().last()[12]), 0xAC);
}

// ------------------------------------------------------- scripted peer: HTTP

QByteArray HttpAnswer(const char* status, const QByteArray& body) {
    return QByteArray("HTTP/1.1 ") + status +
           "\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

const QByteArray PolishPage = "<html>Napi\xEA"
                              "cie zasilania 12V Temperatura 20C Numer V1.3 S0817092</html>";

TEST_F(PeerTest, OldIdentifyPostsTheForm) {
    ScriptedPeer peer(ScriptedPeer::Mode::Http,
                      [](const QByteArray&, int) { return PeerAnswer{HttpAnswer("200 OK", PolishPage)}; });
    const QString port = QString::number(peer.Port());
    QString ver, ser, lng;
    ASSERT_TRUE(common.CheckOldQuelnet("127.0.0.1", port, QString::fromUtf8("a&b=ł"), ver, ser, lng));
    EXPECT_EQ(ver, "V1.3");
    EXPECT_EQ(ser, "S0817092");
    EXPECT_EQ(lng, "PL");

    const QByteArray request = peer.Requests().value(0);
    const int head = int(request.indexOf("\r\n\r\n"));
    const QList<QByteArray> lines = request.left(head).split('\n');
    EXPECT_EQ(lines.value(0).trimmed(), QByteArray("POST /0 HTTP/1.1"));
    auto header = [&](const QByteArray& name) {
        for (const QByteArray& l : lines)
            if (l.toLower().startsWith(name.toLower() + ":"))
                return l.mid(name.size() + 1).trimmed();
        return QByteArray("<missing>");
    };
    EXPECT_EQ(header("User-Agent"),
              "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:11.0) Gecko/20100101 Firefox/11.0");
    EXPECT_EQ(header("Accept"), "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    EXPECT_EQ(header("Accept-Language"), "pl,en-us;q=0.7,en;q=0.3");
    EXPECT_EQ(header("Accept-Encoding"), "gzip, deflate");
    EXPECT_EQ(header("Referer"), "http://127.0.0.1:" + port.toLatin1() + "/%5C");
    EXPECT_EQ(header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.mid(head + 4), QByteArray("y1=a&b=\xB3"));
}

TEST_F(PeerTest, OldIdentifyFailures) {
    struct Case {
        const char* what;
        QByteArray answer;
    } cases[] = {
        {"error status with a marked page", HttpAnswer("404 Not Found", PolishPage)},
        {"page without markers", HttpAnswer("200 OK", "<html>Numer V1.3 S0817092</html>")},
        {"empty page", HttpAnswer("200 OK", "")},
        {"no answer at all", QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPeer peer(ScriptedPeer::Mode::Http,
                          [&](const QByteArray&, int) { return PeerAnswer{c.answer}; });
        QString ver = "x", ser = "x", lng = "x";
        EXPECT_FALSE(common.CheckOldQuelnet("127.0.0.1", QString::number(peer.Port()), "", ver, ser, lng));
        EXPECT_TRUE(ver.isEmpty() && ser.isEmpty() && lng.isEmpty());
    }
}

} // namespace

// Connecting to a port of this host where nothing listens can meet itself
// (the socket's own end gets that very port); such a link is no controller.
TEST(TcpLinkUnits, ASocketConnectedToItselfIsToldApart) {
    const int self = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(self, 0);
    sockaddr_in at{};
    ASSERT_TRUE(BindToLoopback(self, at));
    // Bound to a port and connected to that same port: TCP's simultaneous open with itself.
    ASSERT_EQ(::connect(self, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    EXPECT_TRUE(TcpLink::IsSelfConnection(self));
    ::close(self);

    const int listener = ::socket(AF_INET, SOCK_STREAM, 0), client = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_TRUE(BindToLoopback(listener, at));
    ASSERT_EQ(::listen(listener, 1), 0);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    EXPECT_FALSE(TcpLink::IsSelfConnection(client));
    ::close(client);
    ::close(listener);
}
