// Identification of the three generations against the simulated controller.
#include "tests/core/link/SimFixture.h"

using namespace quelnet;
using namespace quelnet::test;

namespace {

struct Identity {
    bool ok = false;
    QString ver;
    QChar boa;
    bool con = false;
    QString rea, ser, lng;
};

void ExpectIdentity(const Identity& got, const Identity& want) {
    EXPECT_EQ(got.ok, want.ok);
    EXPECT_EQ(got.ver, want.ver);
    EXPECT_EQ(got.boa, want.boa);
    EXPECT_EQ(got.con, want.con);
    EXPECT_EQ(got.rea, want.rea);
    EXPECT_EQ(got.ser, want.ser);
    EXPECT_EQ(got.lng, want.lng);
}

class Identification : public SimLinkTest {
protected:
    Identity New(const QString& host, const QString& portTcp, const QString& pass = SimPassword) {
        Identity i{true, "x", 'x', true, "x", "x", "x"};
        i.ok = common.CheckNewQuelnet(host, portTcp, pass, i.ver, i.boa, i.con, i.rea, i.ser, i.lng);
        return i;
    }
    Identity Mid(const QString& host, const QString& portTcp) {
        Identity i{true, "x", 'x', true, "x", "x", "x"};
        i.ok = common.CheckMidQuelnet(host, portTcp, i.ver, i.boa, i.con, i.rea, i.ser, i.lng);
        return i;
    }
    Identity Old(const QString& host, const QString& portHttp, const QString& pass = SimPassword) {
        Identity i{true, "x", QChar(0), false, "", "x", "x"};
        i.ok = common.CheckOldQuelnet(host, portHttp, pass, i.ver, i.ser, i.lng);
        return i;
    }
    sim::SimConfig Config(sim::Generation g, const QString& language) {
        sim::SimConfig c;
        c.generation = g;
        c.language = language;
        return c;
    }
};

const QChar Nul(0);
const Identity Nothing{false, "", Nul, false, "", "", ""};

TEST_F(Identification, NewGenerationAnswersBothFrames) {
    StartSim(Config(sim::Generation::New, "PL"));
    ExpectIdentity(New(Loopback, PortText()), {true, "V4.0.1", 'A', true, "20140612", "S0817092", "PL"});
    ExpectIdentity(Mid(Loopback, PortText()), {true, "V4.0.1", 'A', true, "20140612", "S0817092", "PL"});
    EXPECT_TRUE(WaitUntil([&] { return sim->OpenConnections() == 0; })); // each call closes its own
    EXPECT_EQ(sim->Connections(), 2);
    EXPECT_EQ(sim->Requests().value(0), LongHeaderStart(SimPassword) + QByteArray::fromHex("AA000000"));
    EXPECT_EQ(sim->Requests().value(1), QByteArray::fromHex("D5AA00000000"));
}

TEST_F(Identification, NewGenerationIsAlwaysPolishOnTheLongFrame) {
    sim::SimConfig c = Config(sim::Generation::New, "LT");
    c.version = "V4"; // zero bytes of the field are kept
    c.board = 'C';
    c.jumper = false;
    StartSim(c);
    const QString v4 = QString("V4") + QString(4, Nul);
    ExpectIdentity(New(Loopback, PortText()), {true, v4, 'C', false, "20140612", "S0817092", "PL"});
    ExpectIdentity(Mid(Loopback, PortText()), {true, v4, 'C', false, "20140612", "S0817092", "LT"});
}

TEST_F(Identification, MidGeneration) {
    for (const QString language : {"PL", "LT"}) {
        SCOPED_TRACE(language.toStdString());
        StartSim(Config(sim::Generation::Mid, language));
        ExpectIdentity(Mid(Loopback, PortText()),
                       {true, "V2.1.4", 'A', true, "20140612", "S0817092", language});
        // No answer to the long frame within the time-out: False, and Polish.
        ExpectIdentity(New(Loopback, PortText()), {false, "", Nul, false, "", "", "PL"});
    }
}

TEST_F(Identification, OldGenerationByItsStatusPage) {
    for (const QString language : {"PL", "LT"}) {
        SCOPED_TRACE(language.toStdString());
        StartSim(Config(sim::Generation::Old, language));
        const QString http = QString::number(sim->HttpPort());
        ExpectIdentity(Old(Loopback, http), {true, "V1.3", Nul, false, "", "S0817092", language});
        // A wrong password gets the login page, which has no markers.
        ExpectIdentity(Old(Loopback, http, "0000"), {false, "", Nul, false, "", "", ""});
        // It speaks no control protocol.
        ExpectIdentity(Mid(Loopback, PortText()), Nothing);
    }
    EXPECT_FALSE(sim->HttpRequests().isEmpty());
    EXPECT_TRUE(sim->HttpRequests().last().endsWith("\r\n\r\ny1=0000"));
}

// The request advertises gzip: a compressed status page is read like a plain one.
TEST_F(Identification, OldGenerationAnsweringGzip) {
    for (const QString language : {"PL", "LT"}) {
        SCOPED_TRACE(language.toStdString());
        sim::SimConfig c = Config(sim::Generation::Old, language);
        c.httpGzip = true;
        StartSim(c);
        const QString http = QString::number(sim->HttpPort());
        ExpectIdentity(Old(Loopback, http), {true, "V1.3", Nul, false, "", "S0817092", language});
        ExpectIdentity(Old(Loopback, http, "0000"), Nothing);
    }
    EXPECT_TRUE(sim->HttpRequests().last().contains("\r\nAccept-Encoding: gzip, deflate\r\n"));
}

TEST_F(Identification, NobodyThere) {
    const QString closed = QString::number(ClosedPort());
    ExpectIdentity(New(Loopback, closed), Nothing);
    ExpectIdentity(Mid(Loopback, closed), Nothing);
    ExpectIdentity(Old(Loopback, closed), Nothing);
    // The TCP port text is read leniently: its low 16 bits are the port.
    StartSim();
    ExpectIdentity(Mid(Loopback, QString::number(port + 65536) + "xyz"),
                   {true, "V4.0.1", 'A', true, "20140612", "S0817092", "PL"});
}

} // namespace
