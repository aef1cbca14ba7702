// The simulated controller's update start: the check of the program copy, the
// version text it installs, the generation it then speaks and the reset of its
// configuration. Engine tests without sockets, and one exchange over loopback.
#include "tests/sim/SimTestClient.h"

#include "core/firmware/ProgramSeal.h"
#include "sim/SimController.h"

using namespace quelnet;
using namespace quelnet::sim;
using namespace quelnet::sim::test;

namespace {

const QByteArray Prepare = QByteArray::fromHex("d5ae00000000");
const QByteArray Start = QByteArray::fromHex("d5ad00000000");
constexpr int ProgramCopy = 0x2900, ProgramSize = 0x1D800;
constexpr int ConfigAddress = 0x0600, ConfigSize = 8192;

// A program copy with `text` at offset 0x100 (a zero byte before it), sealed or not.
QByteArray ProgramWith(const QByteArray& text, bool sealed = true) {
    QByteArray program(ProgramSize, '\x11');
    program[0xFF] = '\0';
    program.replace(0x100, text.size(), text);
    firmware::SealProgram(program);
    if (!sealed)
        program[0x10] = '\x12';
    return program;
}

// A DataFlash with a recognisable configuration area and the program copy.
QByteArray FlashWith(const QByteArray& program) {
    QByteArray flash(512 * 1024, '\x5A');
    flash.replace(ProgramCopy, program.size(), program);
    return flash;
}

TEST(SimVersionText, FirstZeroTerminatedVersionInTheProgram) {
    const struct {
        QByteArray bytes;
        const char* found;
    } cases[] = {
        {QByteArray("ab\0V4.0.1f\0", 11), "V4.0.1f"},
        {QByteArray("V2.1.4\0", 7), "V2.1.4"},
        {QByteArray("V4.0.1F\0V3.0.0\0", 15), "V3.0.0"}, // upper case letters do not count
        {QByteArray("V4.0.1fg\0", 9), ""},
        {QByteArray("V4.0\0V4.0.x\0", 12), ""},
        {QByteArray("V10.0.1\0", 8), ""},
        {QByteArray("V4.0.1f", 7), ""}, // not terminated
        {QByteArray("V4.0.1", 6), ""},
        {QByteArray("VV4.0.2\0V4.0.3\0", 15), "V4.0.2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindVersionText(c.bytes), c.found) << c.bytes.toHex().toStdString();
}

struct UpdateCase {
    const char* what;
    Generation generation; // before
    const char* version;   // before
    bool prepared;         // short 0xAE before 0xAD
    QByteArray program;
    const char* after; // version reported afterwards
    Generation generationAfter;
    bool reset; // configuration back to the factory settings
};

TEST(SimUpdateStart, InstallsOnlyASealedProgramWithAVersionText) {
    const UpdateCase cases[] = {
        {"mid to 4.x, prepared", Generation::Mid, "V2.1.4", true, ProgramWith({"V4.0.1f\0", 8}), "V4.0.1f",
         Generation::New, true},
        {"mid to 4.x, not prepared", Generation::Mid, "V2.1.4", false, ProgramWith({"V4.0.1f\0", 8}),
         "V4.0.1f", Generation::New, false},
        {"4.x to 4.x keeps its configuration", Generation::New, "V4.0.1", true, ProgramWith({"V4.0.2\0", 7}),
         "V4.0.2", Generation::New, false},
        {"4.x back to 2.x", Generation::New, "V4.0.1", false, ProgramWith({"V2.1.4\0", 7}), "V2.1.4",
         Generation::Mid, false},
        {"seal broken", Generation::Mid, "V2.1.4", true, ProgramWith({"V4.0.1f\0", 8}, false), "V2.1.4",
         Generation::Mid, false},
        {"erased copy", Generation::Mid, "V2.1.4", true, QByteArray(ProgramSize, '\xFF'), "V2.1.4",
         Generation::Mid, false},
        {"no version text", Generation::Mid, "V2.1.4", true, ProgramWith("no version"), "V2.1.4",
         Generation::Mid, false},
    };
    for (const UpdateCase& c : cases) {
        SCOPED_TRACE(c.what);
        SimConfig config;
        config.generation = c.generation;
        config.version = c.version;
        config.password = "1234";
        SimController engine(config);
        const QByteArray flash = FlashWith(c.program);
        engine.SetFlash(flash);
        if (c.prepared) {
            EXPECT_EQ(engine.Handle(Prepare).reply, "OK");
        }
        const Outcome o = engine.Handle(Start);
        EXPECT_TRUE(o.reply.isEmpty());
        EXPECT_EQ(o.after, AfterReply::Restart);
        EXPECT_TRUE(o.notable); // said even without --verbose
        EXPECT_TRUE(o.note.contains(c.after)) << o.note.toStdString();

        const SimConfig now = engine.Settings();
        EXPECT_EQ(now.EffectiveVersion(), c.after);
        EXPECT_EQ(now.generation, c.generationAfter);
        EXPECT_EQ(now.password, c.reset ? "3958" : "1234");
        EXPECT_EQ(engine.ShortIdentifyReply().left(6), QByteArray(c.after).left(6));
        const QByteArray area = engine.Flash().mid(ConfigAddress, ConfigSize);
        EXPECT_EQ(area, c.reset ? FactoryConfiguration() : flash.mid(ConfigAddress, ConfigSize));
        EXPECT_EQ(engine.Flash().mid(ConfigAddress + ConfigSize), flash.mid(ConfigAddress + ConfigSize));
    }
}

TEST(SimUpdateStart, FactoryConfigurationFields) {
    const QByteArray area = FactoryConfiguration();
    ASSERT_EQ(area.size(), 8192);
    EXPECT_EQ(area.left(20).toHex(), "c0a800b1ffffff00c0a80001c0a80001c0a80001");
    EXPECT_EQ(area.mid(26, 16), QByteArray("QUELNET_1\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(area.mid(42, 16), QByteArray("3958\0\0\0\0\0\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(area.mid(58, 16), QByteArray("kpnv\0\0\0\0\0\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(area.mid(74), QByteArray(8192 - 74, '\0'));
}

TEST(SimUpdateStart, PreparationLastsUntilTheRestart) {
    SimConfig config;
    config.generation = Generation::Mid;
    SimController engine(config);
    engine.SetFlash(FlashWith(ProgramWith({"V2.1.5\0", 7})));
    engine.Handle(Prepare);
    engine.Handle(Start); // prepared, from below 4: factory settings
    EXPECT_EQ(engine.Flash().mid(ConfigAddress, ConfigSize), FactoryConfiguration());
    const QByteArray flash = FlashWith(ProgramWith({"V4.0.1f\0", 8}));
    engine.SetFlash(flash);
    engine.Handle(Start); // from V2.1.5, not prepared since the restart
    EXPECT_EQ(engine.Settings().EffectiveVersion(), "V4.0.1f");
    EXPECT_EQ(engine.Flash().mid(ConfigAddress, ConfigSize), flash.mid(ConfigAddress, ConfigSize));
}

TEST(SimUpdateStart, PrepareReplyIsAFault) {
    SimController engine;
    Faults faults;
    faults.prepareReply = "ok";
    EXPECT_EQ(engine.Handle(Prepare, faults).reply, "ok");
    faults.prepareReply = "";
    EXPECT_TRUE(engine.Handle(Prepare, faults).reply.isEmpty());
}

class SimUpdateOverTheWire : public SimFixture {};

// Pages written with short frames, the update started: after its restart the
// simulator answers as the new generation, and its status page says so too.
TEST_F(SimUpdateOverTheWire, MidControllerComesBackAsTheNewGeneration) {
    SimConfig config;
    config.generation = Generation::Mid;
    config.restartDelayMs = 0;
    StartSim(config);
    const QByteArray program = ProgramWith({"V4.0.1f\0", 8});
    for (int page = 0; page < ProgramSize / 256; ++page) {
        const QByteArray frame =
            proto::BuildShortFrame(0xA1, quint32(ProgramCopy + page * 256), program.mid(page * 256, 256));
        ASSERT_EQ(client.Exchange(frame, 6), frame.left(6));
    }
    EXPECT_EQ(client.Exchange(Prepare, 2), "OK");
    client.Send(Start);
    EXPECT_TRUE(client.WaitClosed());
    ASSERT_TRUE(WaitUntil([&] { return Sim().Restarts() == 1 && Sim().Listening(); }));

    SimClient after;
    ASSERT_TRUE(after.Connect(Sim().TcpPort()));
    const QByteArray identify = after.Exchange(Long(0xAA));
    ASSERT_EQ(identify.size(), 48);
    EXPECT_EQ(identify.mid(16, 6), "V4.0.1");
    EXPECT_EQ(Sim().Settings().generation, Generation::New);
    EXPECT_EQ(Sim().Flash().mid(ConfigAddress, ConfigSize), FactoryConfiguration());

    SimClient http;
    ASSERT_TRUE(http.Connect(Sim().HttpPort()));
    http.Send("POST /0 HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 7\r\n\r\ny1=3958");
    QByteArray page;
    http.WaitClosed(&page);
    EXPECT_TRUE(page.contains("V4.0.1f")) << page.toStdString();
}

} // namespace
