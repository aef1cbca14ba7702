// backup and restore through the real program against simulated controllers:
// the files byte for byte against the controller's DataFlash, the questions
// that are refused without a terminal, the read-back after a restore, and the
// failures (no controller, wrong password, jumper missing, a transfer that
// breaks, a page that the controller stores wrongly).
#include "tests/cli/CliProcess.h"
#include "tests/support/ControllerAreas.h"

using namespace quelnet;
using namespace quelnet::test;

namespace {

const ConfigFields Fields{QByteArray::fromHex("C0A80A14"), QByteArray::fromHex("FFFFFF00"),
                          QByteArray::fromHex("001A2B3C4D5E"), "3958", "kpnv"};

QStringList Lines(const QString& text) {
    return text.split(u'\n', Qt::SkipEmptyParts);
}

class CliSettingsTest : public CliTest {
protected:
    sim::SimThread& Controller(sim::SimConfig config = {}, int seed = 1) {
        sim::SimThread& s = Sim(config);
        s.SetFlash(FlashWith(ConfigArea(Fields, seed), Pattern(TextsBytes, seed + 50)));
        return s;
    }
    // Backup files of another controller, to restore.
    void WriteBackup(int seed, const ConfigFields& fields = Fields) {
        WriteAll(File("Conf.QNC"), ConfigArea(fields, seed));
        WriteAll(File("Text.QNT"), Pattern(TextsBytes, seed + 50));
    }
    QStringList Files() const { return {"--config", File("Conf.QNC"), "--texts", File("Text.QNT")}; }
};

} // namespace

// --- backup

TEST_F(CliSettingsTest, BackupWritesBothAreasByteForByte) {
    const sim::SimThread& s = Controller();
    const CtlRun r = Ctl(QStringList{"backup", Host(s)} + Files());
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(ReadAll(File("Conf.QNC")), ConfigOf(s.Flash()));
    EXPECT_EQ(ReadAll(File("Text.QNT")), TextsOf(s.Flash()));
    EXPECT_EQ(Lines(r.out), (QStringList{"Zapisano plik " + File("Conf.QNC") + ".",
                                         "Zapisano plik " + File("Text.QNT") + "."}));
    // The transfer's log on standard error, as plain lines without a terminal.
    EXPECT_TRUE(r.err.contains("Odczyt konfiguracji ...\nOdczyt konfiguracji OK.\n")) << r.Dump();
}

TEST_F(CliSettingsTest, BackupOfOneAreaLeavesTheOtherFileAlone) {
    const sim::SimThread& s = Controller();
    const CtlRun r = Ctl({"backup", Host(s), "--texts", File("Text.QNT"), "--json"});
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(r.Json()["saved"].toArray(), QJsonArray{File("Text.QNT")});
    EXPECT_FALSE(QFile::exists(File("Conf.QNC")));
}

// The question is settled before the controller is contacted: a file not to
// be replaced refuses the whole backup with nothing read and nothing written.
TEST_F(CliSettingsTest, AnExistingFileIsReplacedOnlyWithYes) {
    const sim::SimThread& s = Controller();
    WriteAll(File("Conf.QNC"), "keep me");
    const CtlRun refused = Ctl(QStringList{"backup", Host(s), "--json"} + Files());
    EXPECT_EQ(refused.exit, 3) << refused.Dump();
    EXPECT_EQ(ReadAll(File("Conf.QNC")), "keep me");
    EXPECT_FALSE(QFile::exists(File("Text.QNT")));
    EXPECT_EQ(s.RequestCount(), 0); // the controller was never contacted
    EXPECT_TRUE(
        refused.err.contains(U("Pytanie: ") + File("Conf.QNC") + U(": Czy zastąpić istniejący plik ?")))
        << refused.Dump();
    EXPECT_EQ(refused.Json()["error"], U("Plik ") + File("Conf.QNC") + U(" nie został zastąpiony."));
    EXPECT_EQ(refused.Json()["notReplaced"].toArray(), QJsonArray{File("Conf.QNC")});

    const CtlRun yes = Ctl(QStringList{"backup", Host(s), "--yes"} + Files());
    EXPECT_EQ(yes.exit, 0) << yes.Dump();
    EXPECT_EQ(ReadAll(File("Conf.QNC")), ConfigOf(s.Flash()));
    EXPECT_EQ(ReadAll(File("Text.QNT")), TextsOf(s.Flash()));
}

TEST_F(CliSettingsTest, BackupFailuresWriteNoFile) {
    sim::SimConfig noJumper;
    noJumper.jumper = false;
    sim::SimConfig breaking; // ten replies in a row never come: the page is given up
    for (int n = 10; n < 20; ++n)
        breaking.faults.dropReplyTo.insert(n);
    const QString hosts[] = {Down(), Host(Controller()), Host(Controller(noJumper)),
                             Host(Controller(breaking))};
    const struct {
        QString host;
        QStringList extra;
        int exit;
        QString error;
    } cases[] = {
        {hosts[0], {}, 1, U("Nie wykryto QuelNet-a wersji 4.x.x.")},
        {hosts[1],
         {"--password", "wrong"},
         1,
         U("Nie wykryto QuelNet-a wersji 4.x.x. QuelNet wersji 4.x.x odpowiada, ale nie na ramkę z hasłem "
           "(niewłaściwe hasło?).")},
        {hosts[2], {}, 3, U("Brak zwory zezwalającej na odczyt konfiguracji.")},
        {hosts[3], {"--timeout", "200"}, 1, U("Błąd odczytu konfiguracji.")},
    };
    for (const auto& c : cases) {
        const CtlRun r = Ctl(QStringList{"backup", c.host, "--json"} + Files() + c.extra);
        EXPECT_EQ(r.exit, c.exit) << r.Dump();
        EXPECT_EQ(r.Json()["error"], c.error) << r.Dump();
        EXPECT_FALSE(QFile::exists(File("Conf.QNC")) || QFile::exists(File("Text.QNT")));
    }
}

TEST_F(CliSettingsTest, OneDroppedReplyMidTransferIsRecovered) {
    sim::SimConfig config;
    config.faults.dropReplyTo = {40};
    const sim::SimThread& s = Controller(config);
    const CtlRun r = Ctl(QStringList{"backup", Host(s), "--timeout", "300"} + Files());
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(ReadAll(File("Text.QNT")), TextsOf(s.Flash()));
}

TEST_F(CliSettingsTest, BatchBackupNamesTheFilesByController) {
    const sim::SimThread& a = Controller({}, 1);
    const sim::SimThread& b = Controller({}, 2);
    const QString down = Down();
    const CtlRun r = Ctl({"backup", "--hosts", HostsFile({Host(a), down, Host(b)}), "--config",
                          File("{host}.QNC"), "--texts", File("{host}.QNT")});
    EXPECT_EQ(r.exit, 1) << r.Dump();
    const auto name = [&](const sim::SimThread& s, const char* ext) {
        return File("127.0.0.1_" + QString::number(s.TcpPort()) + ext);
    };
    EXPECT_EQ(ReadAll(name(a, ".QNC")), ConfigOf(a.Flash()));
    EXPECT_EQ(ReadAll(name(b, ".QNT")), TextsOf(b.Flash()));
    const QStringList lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4) << r.Dump();
    EXPECT_EQ(lines[1], down + U("  BŁĄD  Nie wykryto QuelNet-a wersji 4.x.x."));
    EXPECT_EQ(lines[3], U("Powiodło się 2 z 3."));

    EXPECT_EQ(Ctl({"backup", "--hosts", HostsFile({Host(a)}), "--config", File("same.QNC")}).exit, 2);
}

// --- restore

TEST_F(CliSettingsTest, RestoreWritesKeepsTheNetworkAndVerifies) {
    sim::SimThread& s = Controller({}, 1);
    WriteBackup(7);
    const CtlRun r = Ctl(QStringList{"restore", Host(s)} + Files());
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(ConfigOf(s.Flash()), ConfigArea(Fields, 7));
    EXPECT_EQ(TextsOf(s.Flash()), Pattern(TextsBytes, 57));
    EXPECT_EQ(Lines(r.out), QStringList{U("Ustawienia zostały załadowane i sprawdzone.")});
    EXPECT_TRUE(r.err.contains("Odczyt kontrolny OK.")) << r.Dump();
    const QList<int> commands = LongCommands(s);
    EXPECT_TRUE(commands.contains(0xAC)); // taken over keeping the network settings
    EXPECT_FALSE(commands.contains(0xAE) || commands.contains(0xAB));
}

TEST_F(CliSettingsTest, NetworkOverwriteNeedsConfirmation) {
    sim::SimThread& s = Controller({}, 1);
    const QByteArray before = s.Flash();
    WriteBackup(7);
    const CtlRun refused = Ctl(QStringList{"restore", Host(s), "--network"} + Files());
    EXPECT_EQ(refused.exit, 3) << refused.Dump();
    EXPECT_TRUE(refused.err.contains(U("Ostrzeżenie: Zostaną wprogramowane następujące ustawienia.\n\nMAC: "
                                       "00-1A-2B-3C-4D-5E\nIP: 192.168.10.20\n")))
        << refused.Dump();
    EXPECT_EQ(s.Flash(), before);
    EXPECT_FALSE(LongCommands(s).contains(0xA1)); // not a page written
    // The configuration password is masked unless asked for; the control
    // password stays the same, so nothing is said of it.
    EXPECT_TRUE(refused.err.contains(U("\nHasło: ********\n\nCzy nadpisać ustawienia ?"))) << refused.Dump();
    EXPECT_FALSE(refused.err.contains("kpnv")) << refused.Dump();
    const CtlRun shown = Ctl(QStringList{"restore", Host(s), "--network", "--show-password"} + Files());
    EXPECT_EQ(shown.exit, 3) << shown.Dump();
    EXPECT_TRUE(shown.err.contains(U("\nHasło: kpnv\n\nCzy nadpisać ustawienia ?"))) << shown.Dump();

    const CtlRun yes = Ctl(QStringList{"restore", Host(s), "--network", "--yes"} + Files());
    ASSERT_EQ(yes.exit, 0) << yes.Dump();
    EXPECT_TRUE(LongCommands(s).contains(0xAE));
    EXPECT_TRUE(LongCommands(s).contains(0xAB)); // restarted, then read back once it answered again
    EXPECT_TRUE(yes.err.contains(U("Ponowne łączenie OK."))) << yes.Dump();
    EXPECT_EQ(ConfigOf(s.Flash()), ConfigArea(Fields, 7));
}

// A file whose control password differs from the one in use: the summary says
// that it changes, without showing it; the restore then reads back with it.
TEST_F(CliSettingsTest, TheSummarySaysThatTheControlPasswordChanges) {
    sim::SimThread& s = Controller({}, 1);
    ConfigFields other = Fields;
    other.controlPassword = "7777";
    WriteBackup(7, other);
    const CtlRun r = Ctl(QStringList{"restore", Host(s), "--network"} + Files());
    EXPECT_EQ(r.exit, 3) << r.Dump();
    EXPECT_TRUE(r.err.contains(U("Hasło sterowania QuelNet-a zmieni się na hasło zapisane w pliku")))
        << r.Dump();
    EXPECT_FALSE(r.err.contains("7777")) << r.Dump();
    EXPECT_FALSE(LongCommands(s).contains(0xA1));
}

TEST_F(CliSettingsTest, ReadBackFindsAPageTheControllerStoredWrongly) {
    const struct {
        int page;
        int exit;
        const char* message;
    } cases[] = {
        {0x0A, 1,
         "Odczyt kontrolny: obszar konfiguracji różni się od zapisanego od bajtu 0x0400 (strona 0x00A)."},
        {0x29, 1, "Odczyt kontrolny: obszar tekstów różni się od zapisanego od bajtu 0x0000 (strona 0x029)."},
        // Byte 0 is the IP address, which the controller keeps without --network.
        {0x06, 0, ""},
    };
    for (const auto& c : cases) {
        sim::SimConfig config;
        config.faults.corruptWrittenPages = {c.page};
        const sim::SimThread& s = Controller(config);
        WriteBackup(7);
        const CtlRun r = Ctl(QStringList{"restore", Host(s), "--json"} + Files());
        EXPECT_EQ(r.exit, c.exit) << r.Dump();
        EXPECT_EQ(r.Json()["verified"], c.exit == 0);
        EXPECT_EQ(r.Json()["error"].toString(), U(c.message)) << r.Dump();
    }
}

TEST_F(CliSettingsTest, ARestoreWhoseTransferBreaksNamesTheUnfinishedStep) {
    sim::SimConfig config; // identify, 32 configuration pages, then ten text pages get no reply
    for (int n = 40; n < 50; ++n)
        config.faults.dropReplyTo.insert(n);
    const sim::SimThread& s = Controller(config);
    WriteBackup(7);
    const CtlRun r = Ctl(QStringList{"restore", Host(s), "--timeout", "200", "--json"} + Files());
    EXPECT_EQ(r.exit, 1) << r.Dump();
    EXPECT_EQ(r.Json()["error"], U("Nie ukończono kroku: Zapis tekstów.")) << r.Dump();
}

TEST_F(CliSettingsTest, RestoreFailures) {
    sim::SimConfig noJumper;
    noJumper.jumper = false;
    const QString ok = Host(Controller()), locked = Host(Controller(noJumper)), down = Down();
    WriteBackup(7);
    WriteAll(File("short.QNC"), QByteArray(8191, 'x'));
    const struct {
        QStringList args;
        int exit;
        QString error;
    } cases[] = {
        {{"restore", down, "--config", File("Conf.QNC")}, 1, U("Nie wykryto QuelNet-a wersji 4.x.x.")},
        {{"restore", ok, "--config", File("Conf.QNC"), "--password", "wrong"},
         1,
         U("Nie wykryto QuelNet-a wersji 4.x.x. QuelNet wersji 4.x.x odpowiada, ale nie na ramkę z hasłem "
           "(niewłaściwe hasło?).")},
        {{"restore", locked, "--config", File("Conf.QNC")},
         3,
         U("Brak zwory zezwalającej na zapis konfiguracji.")},
        {{"restore", ok, "--config", File("short.QNC")}, 1, U("Nie mogę odczytać pliku.")},
        {{"restore", ok, "--config", File("none.QNC")}, 1, U("Plik nie istnieje.")},
    };
    for (const auto& c : cases) {
        const CtlRun r = Ctl(c.args + QStringList{"--json"});
        EXPECT_EQ(r.exit, c.exit) << r.Dump();
        EXPECT_EQ(r.Json()["error"], c.error) << r.Dump();
    }
    EXPECT_EQ(ConfigOf(sims[0]->Flash()), ConfigArea(Fields, 1)); // nothing reached the controller
    EXPECT_EQ(Ctl({"restore", ok, "--texts", File("Text.QNT"), "--network"}).exit, 2);
    EXPECT_EQ(Ctl({"restore", ok}).exit, 2);
}
