// The command line of quelnet-sim: parsing into settings, and the real program.
#include "tests/sim/SimTestClient.h"

#include "sim/SimCommandLine.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace quelnet;
using namespace quelnet::sim;
using namespace quelnet::sim::test;

namespace {
SimCommandLine Parse(const QStringList& args) {
    return ParseSimCommandLine(QStringList{"quelnet-sim"} + args);
}
} // namespace

TEST(SimCommandLineTest, Defaults) {
    const SimCommandLine cl = Parse({});
    ASSERT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    const SimConfig& c = cl.config;
    EXPECT_EQ(c.tcpPort, 7080);
    EXPECT_EQ(c.httpPort, 8080);
    EXPECT_EQ(c.bindAddress, QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(c.password, "3958");
    EXPECT_EQ(c.generation, Generation::New);
    EXPECT_TRUE(c.jumper);
    EXPECT_EQ(c.EffectiveVersion(), "V4.0.1");
    EXPECT_EQ(c.language, "PL");
    EXPECT_FALSE(c.demo);
    EXPECT_FALSE(c.httpGzip);
    QStringList names;
    for (const CircuitSpec& s : c.circuits)
        names << s.name;
    EXPECT_EQ(names.join(','), "OUT1,OUT2,OUT3,OUT4,IN1,IN2,IN3,IN4,AN1,AN2,AOUT1");
}

TEST(SimCommandLineTest, EveryOptionReachesTheSettings) {
    const SimCommandLine cl = Parse({"--port",
                                     "0",
                                     "--http-port",
                                     "8181",
                                     "--bind",
                                     "127.0.0.2",
                                     "--password",
                                     "abc",
                                     "--generation",
                                     "mid",
                                     "--no-jumper",
                                     "--version-text",
                                     "V2.1.3",
                                     "--board",
                                     "C",
                                     "--build",
                                     "B7",
                                     "--serial",
                                     "S1",
                                     "--language",
                                     "lt",
                                     "--flash",
                                     "/tmp/x.bin",
                                     "--restart-delay",
                                     "250",
                                     "--demo",
                                     "--digital-outputs",
                                     "R1,R2",
                                     "--digital-inputs",
                                     "",
                                     "--analog-inputs",
                                     "T1",
                                     "--analog-outputs",
                                     "",
                                     "--drop-reply",
                                     "3,7",
                                     "--wrong-echo-page",
                                     "0x7F,6",
                                     "--reply-delay",
                                     "40",
                                     "--close-after",
                                     "5",
                                     "--prepare-reply",
                                     "ok",
                                     "--corrupt-page",
                                     "0x0A",
                                     "--http-gzip",
                                     "--drop-rate",
                                     "5",
                                     "--wrong-echo-rate",
                                     "7",
                                     "--fault-seed",
                                     "42",
                                     "--close-before-update-start",
                                     "--verbose"});
    ASSERT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    const SimConfig& c = cl.config;
    EXPECT_EQ(c.tcpPort, 0);
    EXPECT_EQ(c.httpPort, 8181);
    EXPECT_EQ(c.bindAddress.toString(), "127.0.0.2");
    EXPECT_EQ(c.password, "abc");
    EXPECT_EQ(c.generation, Generation::Mid);
    EXPECT_FALSE(c.jumper);
    EXPECT_EQ(c.EffectiveVersion(), "V2.1.3");
    EXPECT_EQ(c.board, QChar('C'));
    EXPECT_EQ(c.build, "B7");
    EXPECT_EQ(c.serial, "S1");
    EXPECT_EQ(c.language, "LT");
    EXPECT_EQ(c.flashFile, "/tmp/x.bin");
    EXPECT_EQ(c.restartDelayMs, 250);
    EXPECT_TRUE(c.demo);
    EXPECT_TRUE(c.verbose);
    EXPECT_TRUE(c.httpGzip);
    ASSERT_EQ(c.circuits.size(), 3);
    EXPECT_EQ(c.circuits[2].name, "T1");
    EXPECT_TRUE(c.circuits[2].analog);
    EXPECT_FALSE(c.circuits[2].output);
    EXPECT_EQ(c.faults.dropReplyTo, (QSet<int>{3, 7}));
    EXPECT_EQ(c.faults.wrongEchoOnPage, (QSet<int>{127, 6}));
    EXPECT_EQ(c.faults.replyDelayMs, 40);
    EXPECT_EQ(c.faults.closeAfterRequests, 5);
    EXPECT_EQ(c.faults.prepareReply, "ok");
    EXPECT_EQ(c.faults.dropPercent, 5);
    EXPECT_EQ(c.faults.wrongEchoPercent, 7);
    EXPECT_EQ(c.faults.seed, 42u);
    EXPECT_TRUE(c.faults.closeBeforeUpdateStart);
    EXPECT_FALSE(Parse({}).config.faults.closeBeforeUpdateStart);
    EXPECT_EQ(Parse({}).config.faults.prepareReply, "OK");
    EXPECT_EQ(c.faults.corruptWrittenPages, QSet<int>{10});
}

TEST(SimCommandLineTest, MistakesAreRefused) {
    const QStringList cases[] = {
        {"--generation", "newest"},
        {"--jumper", "--no-jumper"},
        {"--port", "70800"},
        {"--port", "abc"},
        {"--bind", "localhost:1"},
        {"--board", "AB"},
        {"--language", "POL"},
        {"--digital-outputs", "TOOLONGNAME"},
        {"--analog-inputs", "IN1"},
        {"--drop-reply", "0"},
        {"--wrong-echo-page", "2048"},
        {"--reply-delay", "-1"},
        {"--close-after", "x"},
        {"--prepare-reply", "Ż"},
        {"--corrupt-page", "-1"},
        {"--drop-rate", "101"},
        {"--wrong-echo-rate", "-5"},
        {"--unknown"},
        {"positional"},
    };
    for (const QStringList& args : cases)
        EXPECT_FALSE(Parse(args).error.isEmpty()) << args.join(' ').toStdString();
    EXPECT_TRUE(Parse({"--help"}).help);
}

#ifdef QUELNET_SIM_EXE
// The real program: help text, then a run on free ports that saves a page write to
// its DataFlash file when it is told to end.
TEST(SimProgram, HelpDocumentsTheClosingOnAWrongDigest) {
    QProcess p;
    p.start(QUELNET_SIM_EXE, {"--help"});
    ASSERT_TRUE(p.waitForFinished(WaitMs));
    EXPECT_EQ(p.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(p.readAllStandardOutput());
    EXPECT_TRUE(help.contains("closes the connection"));
    for (const char* option : {"--port", "--http-port", "--bind", "--password", "--generation", "--no-jumper",
                               "--flash", "--restart-delay", "--demo", "--drop-reply", "--verbose"})
        EXPECT_TRUE(help.contains(option)) << option;

    QProcess wrong;
    wrong.start(QUELNET_SIM_EXE, {"--generation", "x"});
    ASSERT_TRUE(wrong.waitForFinished(WaitMs));
    EXPECT_EQ(wrong.exitCode(), 2);
}

TEST(SimProgram, ServesAndSavesTheDataFlashOnTerminate) {
    QTemporaryDir dir;
    const QString flash = dir.filePath("df.bin");
    QProcess p;
    p.start(QUELNET_SIM_EXE,
            {"--port", "0", "--http-port", "0", "--flash", flash, "--restart-delay", "60000"});
    QString banner;
    ASSERT_TRUE(WaitUntil([&] {
        p.waitForReadyRead(50);
        banner += QString::fromLocal8Bit(p.readAllStandardError());
        return banner.contains('\n');
    }));
    const QRegularExpressionMatch m =
        QRegularExpression("control protocol on 127\\.0\\.0\\.1:(\\d+)").match(banner);
    ASSERT_TRUE(m.hasMatch()) << banner.toStdString();
    SimClient c;
    ASSERT_TRUE(c.Connect(quint16(m.captured(1).toUInt())));
    EXPECT_EQ(c.Exchange(proto::BuildShortFrame(0xA1, 0x300, QByteArray(256, 'Q')), 6).toHex(),
              "d5a100000300");
    EXPECT_EQ(c.Exchange(QByteArray::fromHex("d5aa00000000"), 58).mid(54), "504C");
    p.terminate();
    ASSERT_TRUE(p.waitForFinished(WaitMs));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    QFile f(flash);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().mid(0x300, 257), QByteArray(256, 'Q') + char(0xFF));
}
#endif
