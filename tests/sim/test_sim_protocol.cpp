// The simulator's control protocol over loopback: circuit commands, pages,
// identification and the configuration commands, compared byte for byte.
#include "tests/sim/SimTestClient.h"

#include "sim/SimController.h"

using namespace quelnet;
using namespace quelnet::sim;
using namespace quelnet::sim::test;

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

// The 16-byte acknowledgement: D5 80 0D, 9 zero bytes, code 0x08, status, length 0.
QByteArray AckReply(int status) {
    return proto::BuildLongReply(0x08, std::uint8_t(status));
}

QByteArray AnalogPayload(const QString& name, float value) {
    return Name(name) + proto::EncodeAnalog(value);
}

struct Step {
    const char* what;
    QByteArray request;
    QByteArray reply;
};

} // namespace

class SimProtocol : public SimFixture {};

TEST_F(SimProtocol, CircuitCommandsFollowTheTables) {
    StartSim();
    const Step steps[] = {
        {"set OUT1 on", Long(0x10, 1, Name("OUT1")),
         Hex("d5800d000000000000000000"
             "08010000")},
        {"read OUT1 at output", Long(0x13, 0, Name("OUT1")),
         Hex("d5800d000000000000000000"
             "43010008"
             "4f55543100000000")},
        {"read OUT1 at input", Long(0x12, 0, Name("OUT1")), proto::BuildLongReply(0x42, 1, Name("OUT1"))},
        {"toggle OUT2", Long(0x10, 2, Name("OUT2")), AckReply(1)},
        {"OUT2 is on", Long(0x12, 0, Name("OUT2")), proto::BuildLongReply(0x42, 1, Name("OUT2"))},
        {"toggle OUT2 again", Long(0x10, 2, Name("OUT2")), AckReply(1)},
        {"OUT2 is off", Long(0x13, 0, Name("OUT2")), proto::BuildLongReply(0x43, 0, Name("OUT2"))},
        {"switch OUT1 off", Long(0x10, 0, Name("OUT1")), AckReply(1)},
        {"OUT1 is off", Long(0x12, 0, Name("OUT1")), proto::BuildLongReply(0x42, 0, Name("OUT1"))},
        {"input read at output", Long(0x13, 0, Name("IN4")), proto::BuildLongReply(0x43, 0, Name("IN4"))},
        {"unknown mode", Long(0x10, 3, Name("OUT1")), AckReply(2)},
        {"an input cannot be set", Long(0x10, 1, Name("IN1")), AckReply(0)},
        {"no such digital circuit", Long(0x10, 1, Name("OUT9")), AckReply(0)},
        {"read of a missing circuit", Long(0x12, 0, Name("NOPE")), AckReply(0)},
        {"names are case-sensitive", Long(0x12, 0, Name("out1")), AckReply(0)},
        {"an analog circuit is not digital", Long(0x12, 0, Name("AN1")), AckReply(0)},
        {"set AOUT1 1.5", Long(0x18, 0, AnalogPayload("AOUT1", 1.5f)), AckReply(1)},
        {"read AOUT1 at output", Long(0x1B, 0, Name("AOUT1")),
         Hex("d5800d000000000000000000"
             "4b00000c"
             "414f555431000000"
             "00003a98")},
        {"set AOUT1 -1", Long(0x18, 0, AnalogPayload("AOUT1", -1.0f)), AckReply(1)},
        {"negative value kept bit for bit", Long(0x1A, 0, Name("AOUT1")),
         proto::BuildLongReply(0x4A, 0, Name("AOUT1") + Hex("ffffd8f0"))},
        {"analog input read", Long(0x1A, 0, Name("AN2")),
         proto::BuildLongReply(0x4A, 0, Name("AN2") + Hex("00000000"))},
        {"an analog input cannot be set", Long(0x18, 0, AnalogPayload("AN1", 5)), AckReply(0)},
        {"set analog without value", Long(0x18, 0, Name("AOUT1")), AckReply(2)},
        {"a digital circuit is not analog", Long(0x1A, 0, Name("IN1")), AckReply(0)},
        {"no such analog circuit", Long(0x18, 0, AnalogPayload("AOUT2", 5)), AckReply(0)},
    };
    for (const Step& s : steps)
        EXPECT_EQ(client.Exchange(s.request).toHex(), s.reply.toHex()) << s.what;
    EXPECT_FALSE(Sim().Digital("OUT1"));
    EXPECT_FLOAT_EQ(Sim().Analog("AOUT1"), -1.0f);
}

TEST_F(SimProtocol, StatesSetByTheTestAreReadOverTheWire) {
    StartSim();
    Sim().SetDigital("IN3", true);
    Sim().SetAnalog("AN2", 42.5f);
    EXPECT_EQ(client.Exchange(Long(0x12, 0, Name("IN3"))), proto::BuildLongReply(0x42, 1, Name("IN3")));
    EXPECT_EQ(client.Exchange(Long(0x1A, 0, Name("AN2"))).mid(24).toHex(), "00067c28"); // 425000
    client.Exchange(Long(0x10, 1, Name("OUT4")));
    EXPECT_TRUE(Sim().Digital("OUT4"));
}

TEST_F(SimProtocol, CircuitSetIsConfigurable) {
    SimConfig config;
    config.circuits = {{"PUMP", false, true}, {"LEVEL", true, false}, {"ABCDEFGH", false, false}};
    StartSim(config);
    EXPECT_EQ(client.Exchange(Long(0x10, 1, Name("PUMP"))), AckReply(1));
    EXPECT_EQ(client.Exchange(Long(0x10, 1, Name("OUT1"))), AckReply(0));
    EXPECT_EQ(client.Exchange(Long(0x12, 0, Name("ABCDEFGH"))).size(), 24); // 8 characters, no terminator
    EXPECT_EQ(client.Exchange(Long(0x1A, 0, Name("LEVEL"))).size(), 28);
}

TEST_F(SimProtocol, LongPageWriteAndReadRoundTrip) {
    StartSim();
    QByteArray page(256, '\0');
    for (int i = 0; i < 256; ++i)
        page[i] = char(i ^ 0x5A);
    const QByteArray address = proto::PageAddress(0x123);
    EXPECT_EQ(client.Exchange(Long(0xA1, 0, address + page)).toHex(), Hex("d5800d000000000000000000"
                                                                          "b1000003"
                                                                          "012300")
                                                                          .toHex());
    const QByteArray read = client.Exchange(Long(0xA0, 0, address));
    ASSERT_EQ(read.size(), 275);
    EXPECT_EQ(read.left(19).toHex(), Hex("d5800d000000000000000000"
                                         "b0000103"
                                         "012300")
                                         .toHex());
    EXPECT_EQ(read.mid(19), page);
    EXPECT_EQ(Sim().Flash().mid(0x12300, 256), page);
    EXPECT_EQ(Sim().Flash().size(), 512 * 1024);

    // An untouched page of the erased memory, and the last page.
    EXPECT_EQ(client.Exchange(Long(0xA0, 0, proto::PageAddress(6))).mid(19), QByteArray(256, char(0xFF)));
    EXPECT_EQ(client.Exchange(Long(0xA0, 0, proto::PageAddress(2047))).mid(16, 3).toHex(), "07ff00");
}

TEST_F(SimProtocol, PageWriteOfWrongSizeIsRefusedAndChangesNothing) {
    StartSim();
    EXPECT_EQ(client.Exchange(Long(0xA1, 0, proto::PageAddress(7) + QByteArray(255, 'x'))), AckReply(2));
    EXPECT_EQ(Sim().Flash().mid(7 * 256, 256), QByteArray(256, char(0xFF)));
}

TEST_F(SimProtocol, PageWritesAcceptTheFixedDataFlashPassword) {
    SimConfig config;
    config.password = "tajne";
    StartSim(config);
    const QByteArray frame = Long(0xA1, 0, proto::PageAddress(50) + QByteArray(256, 'p'), "3958");
    EXPECT_EQ(client.Exchange(frame).mid(12, 1).toHex(), "b1");
    EXPECT_EQ(Sim().Flash().mid(50 * 256, 256), QByteArray(256, 'p'));
    // Every other command needs the control password.
    EXPECT_EQ(client.Exchange(Long(0xAA, 0, {}, "tajne")).size(), 48);
    client.Send(Long(0xA0, 0, proto::PageAddress(50), "3958"));
    QByteArray before;
    EXPECT_TRUE(client.WaitClosed(&before));
    EXPECT_TRUE(before.isEmpty());
}

TEST_F(SimProtocol, ShortPageWriteEchoesTheHeader) {
    StartSim();
    const QByteArray frame = proto::BuildShortFrame(0xA1, 0x2900, QByteArray(256, 'k'));
    ASSERT_EQ(frame.size(), 262);
    EXPECT_EQ(client.Exchange(frame, 6).toHex(), "d5a100002900");
    EXPECT_EQ(Sim().Flash().mid(0x2900, 256), QByteArray(256, 'k'));
}

TEST_F(SimProtocol, SetFlashIsReadBack) {
    StartSim();
    Sim().SetFlash(QByteArray(300, 'z'));
    EXPECT_EQ(client.Exchange(Long(0xA0, 0, proto::PageAddress(1))).mid(19, 45),
              QByteArray(44, 'z') + char(0xFF));
}

struct IdentityCase {
    Generation generation;
    const char* version;
    char board;
    bool jumper;
    const char* language;
    const char* languageHex;
};

void PrintTo(const IdentityCase& c, std::ostream* os) {
    *os << (c.generation == Generation::New ? "new " : "mid ") << c.version << " board " << c.board
        << (c.jumper ? " jumper " : " no jumper ") << c.language;
}

class SimIdentity : public SimFixture, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(SimIdentity, LongAndShortIdentifyReportTheSettings) {
    const IdentityCase& c = GetParam();
    SimConfig config;
    config.generation = c.generation;
    config.version = c.version;
    config.board = QChar(c.board);
    config.jumper = c.jumper;
    config.language = c.language;
    config.build = "B1234";
    config.serial = "S0817092";
    StartSim(config);
    const char jumper = c.jumper ? 'e' : 'd';

    QByteArray expectedShort(58, '\0');
    expectedShort.replace(0, 6, QByteArray(c.version).leftJustified(6, '\0', true));
    expectedShort[7] = c.board;
    expectedShort[9] = jumper;
    expectedShort.replace(10, 8, QByteArray("B1234\0\0\0", 8));
    expectedShort.replace(18, 8, "S0817092");
    expectedShort.replace(54, 4, c.languageHex);
    EXPECT_EQ(client.Exchange(QByteArray::fromHex("d5aa00000000"), 58).toHex(), expectedShort.toHex());

    if (c.generation == Generation::New) {
        const QByteArray reply = client.Exchange(Long(0xAA));
        ASSERT_GE(reply.size(), 48);
        QByteArray fields = QByteArray(c.version).leftJustified(6, '\0', true) + c.board + jumper +
                            QByteArray("B1234\0\0\0", 8) + "S0817092" + c.language;
        EXPECT_EQ(reply.mid(16, 26).toHex(), fields.toHex());
        EXPECT_EQ(proto::GetU16(reply, 14), reply.size() - 16);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SimIdentity,
                         ::testing::Values(IdentityCase{Generation::New, "V4.0.1", 'A', true, "PL", "504C"},
                                           IdentityCase{Generation::New, "V4.0.1", 'C', false, "LT", "4C54"},
                                           IdentityCase{Generation::Mid, "V2.1.4", 'C', true, "PL", "504C"},
                                           IdentityCase{Generation::Mid, "V2.1", 'A', false, "LT", "4C54"}));

TEST_F(SimProtocol, ConfigurationCommandsAnswerTheirCodes) {
    StartSim();
    const struct { std::uint8_t command, reply; } cases[] = {{0xAF, 0xBF}, {0xAC, 0xBE}, {0xAE, 0xBE}};
    for (const auto& c : cases) {
        const QByteArray r = client.Exchange(Long(c.command));
        ASSERT_EQ(r.size(), 16) << int(c.command);
        EXPECT_EQ(uchar(r[12]), c.reply) << int(c.command);
    }
    EXPECT_EQ(client.Exchange(QByteArray::fromHex("d5ae00000000"), 2), "OK");
}

TEST_F(SimProtocol, WrongDigestClosesTheConnectionWithoutReply) {
    StartSim();
    client.Send(Long(0x12, 0, Name("IN1"), "1234"));
    QByteArray before;
    EXPECT_TRUE(client.WaitClosed(&before));
    EXPECT_TRUE(before.isEmpty());
    ASSERT_EQ(Sim().Requests().size(), 1);
    EXPECT_EQ(Sim().Requests()[0], Long(0x12, 0, Name("IN1"), "1234"));
    // The simulator keeps serving new connections.
    SimClient again;
    ASSERT_TRUE(again.Connect(Sim().TcpPort()));
    EXPECT_EQ(again.Exchange(Long(0xAA)).size(), 48);
}

TEST_F(SimProtocol, PasswordIsConfigurable) {
    SimConfig config;
    config.password = "zażółć";
    StartSim(config);
    EXPECT_EQ(client.Exchange(Long(0xAA, 0, {}, "zażółć")).size(), 48);
    client.Send(Long(0xAA));
    EXPECT_TRUE(client.WaitClosed());
}

TEST(SimFraming, FrameLengthTable) {
    const struct {
        const char* hex;
        int length;
    } cases[] = {
        {"", 0},
        {"00", -1},
        {"d5", 0},
        {"d5aa0000", 0},
        {"d5aa00000000", 6},
        {"d5aa0000000099", 6},
        {"d5ad00000000", 6},
        {"d5a1000029", 0},
        {"d5800d", 0},
        {"d5800d00000000f0ffffffffaa000000", 16},
        {"d5800d00000000f0ffffffff12000008", 0},
        {"d5800d00000000f0ffffffff120000084f55543100000000", 24},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SimController::FrameLength(QByteArray::fromHex(c.hex)), c.length) << c.hex;
    EXPECT_EQ(SimController::FrameLength(QByteArray::fromHex("d5a100002900") + QByteArray(255, 0)), 0);
    EXPECT_EQ(SimController::FrameLength(QByteArray::fromHex("d5a100002900") + QByteArray(256, 0)), 262);
}

TEST(SimEngine, MapsRequestBytesToReplyBytesWithoutSockets) {
    SimController engine;
    EXPECT_EQ(engine.Handle(Long(0x10, 1, Name("OUT2"))).reply, proto::BuildLongReply(0x08, 1));
    EXPECT_TRUE(engine.Digital("OUT2"));
    EXPECT_EQ(engine.Handle(Long(0xAB)).after, AfterReply::Restart);
    EXPECT_EQ(engine.Handle(Long(0xAA, 0, {}, "x")).after, AfterReply::Close);
    EXPECT_EQ(engine.Handle(QByteArray::fromHex("d5ad00000000")).after, AfterReply::Restart);
    // Pieces of frames, the empty one too, are not answered.
    for (const QByteArray& piece :
         {QByteArray(), QByteArray::fromHex("d5"), QByteArray::fromHex("d5aa0000"), Long(0xAA).left(15),
          Long(0x12, 0, Name("IN1")).left(20), Long(0xAA) + "x"}) {
        const Outcome o = engine.Handle(piece);
        EXPECT_TRUE(o.reply.isEmpty()) << piece.toHex().toStdString();
        EXPECT_EQ(o.after, AfterReply::Stay);
    }
}

TEST_F(SimProtocol, StreamIsCutIntoFramesWhateverTheWrites) {
    StartSim();
    // Noise before a frame is skipped; a frame in two writes; two frames in one write.
    client.Send(QByteArray::fromHex("0001ff"));
    const QByteArray identify = Long(0xAA);
    client.Send(identify.left(10));
    client.Send(identify.mid(10));
    EXPECT_EQ(client.ReadLong().size(), 48);
    client.Send(Long(0x10, 1, Name("OUT1")) + QByteArray::fromHex("d5aa00000000"));
    EXPECT_EQ(client.ReadLong(), AckReply(1));
    EXPECT_EQ(client.Read(58).size(), 58);
    EXPECT_EQ(Sim().Requests().size(), 3);
}
