// update, resources and package through the real program: the firmware update
// against simulated controllers (backup folder, questions refused without a
// terminal, dry run, the factory-address reconnect, a batch), the resources
// install with its read-back, and the offline package commands compared with
// the core's own package reader and image builder.
#include "tests/cli/CliProcess.h"
#include "tests/support/ControllerAreas.h"
#include "tests/sim/SimTestClient.h"

#include "core/firmware/ImageBuilder.h"
#include "core/firmware/PackageReader.h"
#include "sim/SimWebFiles.h"

#include <QDir>
#include <algorithm>

using namespace quelnet;
using namespace quelnet::test;

namespace {

const ConfigFields Fields{QByteArray::fromHex("C0A80A14"), QByteArray::fromHex("FFFFFF00"),
                          QByteArray::fromHex("001A2B3C4D5E"), "3958", "kpnv"};
const QString Package = QStringLiteral(QUELNET_EXE);

// Frames that change a controller: page writes (long or short), the short
// preparation of the configuration and the update start.
int Writes(const sim::SimThread& s) {
    int n = 0;
    for (const QByteArray& r : s.Requests()) {
        const bool longWrite = r.size() > 12 && uchar(r[1]) == 0x80 && uchar(r[12]) == 0xA1;
        const bool shortWrite =
            r.size() >= 6 && uchar(r[0]) == 0xD5 && uchar(r[1]) >= 0xA1 && uchar(r[1]) != 0xAA;
        n += longWrite || shortWrite ? 1 : 0;
    }
    return n;
}

class CliFirmwareTest : public CliTest {
protected:
    sim::SimThread& Controller(sim::SimConfig config = {}) {
        sim::SimThread& s = Sim(config);
        s.SetFlash(FlashWith(ConfigArea(Fields, 3), Pattern(TextsBytes, 60)));
        return s;
    }
    QString BackupDir() {
        QDir(dir.path()).mkpath("backups");
        return File("backups");
    }
    QStringList Backups() { return QDir(BackupDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }
    QStringList Update(const sim::SimThread& s, const QStringList& more) {
        return QStringList{"update",       Host(s),     "--to",           "V4.0.1f",
                           "--backup-dir", BackupDir(), "--restart-wait", "1000"} +
               more;
    }
};

// The backup folder named by --backup-dir is made when it does not exist yet.
TEST_F(CliFirmwareTest, UpdateBacksUpTheSettingsThenInstallsV401f) {
    sim::SimThread& s = Controller();
    const QByteArray before = s.Flash();
    const QString parent = File("new/deeper");
    QStringList args = Update(s, {"--yes"});
    args[args.indexOf("--backup-dir") + 1] = parent;
    const CtlRun r = Ctl(args);
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(s.Settings().version, "V4.0.1f");
    const QStringList folders = QDir(parent).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    EXPECT_TRUE(folders[0].startsWith("quelnet-backup-127.0.0.1-" + QString::number(s.TcpPort()) + "-"));
    const QString folder = parent + '/' + folders[0];
    EXPECT_EQ(ReadAll(folder + "/Conf.QNC"), ConfigOf(before));
    EXPECT_EQ(ReadAll(folder + "/Text.QNT"), TextsOf(before));
    EXPECT_TRUE(r.err.contains(U("Kopia ustawień zapisana w katalogu ") + folder)) << r.Dump();
    EXPECT_TRUE(r.out.contains(U("Zaktualizowano do V4.0.1f (PL)."))) << r.Dump();
    // The texts area is cleared after the controller came back.
    EXPECT_EQ(TextsOf(s.Flash()).left(128 * 256), QByteArray(128 * 256, '\0'));
}

// Every update is confirmed once before anything is written: the controller,
// the versions, the texts that are cleared and where the settings go. Without
// a terminal and without --yes it is refused, with nothing read or written.
TEST_F(CliFirmwareTest, EveryUpdateIsConfirmedFirst) {
    sim::SimThread& s = Controller();
    const QByteArray before = s.Flash();
    const CtlRun r = Ctl(Update(s, {}));
    EXPECT_EQ(r.exit, 3) << r.Dump();
    const QString planned = BackupDir() + "/quelnet-backup-127.0.0.1-" + QString::number(s.TcpPort()) + "-";
    const QStringList lines = r.err.split('\n');
    const qsizetype at = lines.indexOf(U("Ostrzeżenie: Aktualizacja QuelNet-a ") + Host(s) + U(" (numer ") +
                                       s.Settings().serial + ")");
    ASSERT_GE(at, 0) << r.Dump();
    EXPECT_EQ(lines.mid(at + 1, 3), (QStringList{U("Wersja: V4.0.1 → V4.0.1f, język PL"),
                                                 U("Konfiguracja po aktualizacji: zachowana"),
                                                 U("Teksty zapisane w QuelNet-cie zostaną wyczyszczone.")}));
    EXPECT_TRUE(lines.value(at + 4).startsWith(U("Kopia konfiguracji i tekstów: ") + planned)) << r.Dump();
    EXPECT_EQ(lines.mid(at + 5, 2), (QStringList{"", U("Czy kontynuować ?")}));
    EXPECT_TRUE(r.err.contains(U("Aktualizacja nie została wykonana."))) << r.Dump();
    EXPECT_EQ(Writes(s), 0);
    EXPECT_EQ(LongCommands(s), QList<int>{}); // not even the settings were read
    EXPECT_EQ(s.Flash(), before);
    EXPECT_TRUE(Backups().isEmpty());

    const CtlRun none = Ctl(Update(s, {"--no-backup"}));
    EXPECT_EQ(none.exit, 3) << none.Dump();
    EXPECT_TRUE(none.err.contains(U("\nKopia ustawień pominięta (--no-backup).\n"))) << none.Dump();
    EXPECT_EQ(Writes(s), 0);
}

// A controller below version 4 loses its configuration: the job's question is
// part of the one confirmation.
// A 4.x controller is never asked (it reports six characters, "V4.0.1").
TEST_F(CliFirmwareTest, AQuestionWithoutTerminalOrYesIsRefusedAndNothingIsWritten) {
    sim::SimConfig mid;
    mid.generation = sim::Generation::Mid;
    sim::SimThread& s = Controller(mid);
    const QByteArray before = s.Flash();
    const CtlRun r = Ctl(Update(s, {"--service", "--factory-address", Host(s)}));
    EXPECT_EQ(r.exit, 3) << r.Dump();
    EXPECT_TRUE(r.err.contains(U("Aktualizacja QuelNet-a do wersji 4.x.x spowoduje utratę konfiguracji")))
        << r.Dump();
    EXPECT_TRUE(r.err.contains(U("Aktualizacja nie została wykonana."))) << r.Dump();
    EXPECT_EQ(Writes(s), 0);
    EXPECT_EQ(s.Flash(), before);
    EXPECT_EQ(s.Restarts(), 0);
    EXPECT_EQ(s.Settings().EffectiveVersion(), "V2.1.4");
}

TEST_F(CliFirmwareTest, DryRunTellsWhatWouldBeWrittenAndTouchesNothing) {
    sim::SimThread& s = Controller();
    const QByteArray before = s.Flash();
    const CtlRun r = Ctl(Update(s, {"--dry-run", "--json"}));
    ASSERT_EQ(r.exit, 0) << r.Dump();
    const QJsonObject o = r.Json();
    EXPECT_EQ(o["program"].toString(), "IP_QueL.hex");
    EXPECT_EQ(o["imageSize"].toInt(), 524288);
    EXPECT_EQ(o["pages"].toInt(), 2048);
    EXPECT_GT(o["estimatedSeconds"].toInt(), 0);
    EXPECT_FALSE(o["resetsConfiguration"].toBool());
    EXPECT_EQ(Writes(s), 0);
    EXPECT_EQ(LongCommands(s), QList<int>{}); // not even the settings were read
    EXPECT_EQ(s.Flash(), before);
    EXPECT_EQ(s.Settings().EffectiveVersion(), "V4.0.1");
    EXPECT_TRUE(Backups().isEmpty());
}

// A controller below version 4 (service mode) loses its configuration: it comes
// back at the factory address, here the simulator itself; there is no backup.
TEST_F(CliFirmwareTest, ServiceUpdateOfAnOldControllerReconnectsAtTheFactoryAddress) {
    sim::SimConfig mid;
    mid.generation = sim::Generation::Mid;
    sim::SimThread& s = Controller(mid);
    const CtlRun r = Ctl(Update(s, {"--service", "--factory-address", Host(s), "--yes"}));
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(s.Settings().version, "V4.0.1f");
    EXPECT_TRUE(r.out.contains(U("Kopia ustawień pominięta"))) << r.Dump();
    EXPECT_TRUE(Backups().isEmpty());
}

// The programming succeeds but the controller is not found again to clear the
// texts: the update is not reported as done.
TEST_F(CliFirmwareTest, AnUpdateThatDoesNotReconnectIsAFailure) {
    sim::SimConfig mid;
    mid.generation = sim::Generation::Mid;
    sim::SimThread& s = Controller(mid);
    const CtlRun r = Ctl(Update(s, {"--service", "--yes", "--factory-address", Down()}));
    EXPECT_EQ(r.exit, 1) << r.Dump();
    EXPECT_TRUE(r.err.contains(U("aktualizacja nie jest zakończona"))) << r.Dump();
    EXPECT_FALSE(r.out.contains(U("Zaktualizowano"))) << r.Dump();
}

// The link lost right after the last page: the update start never reaches the
// controller, which keeps its program. Exit 1, and the texts are not cleared.
TEST_F(CliFirmwareTest, AnUpdateStartThatNeverArrivedIsAFailure) {
    sim::SimConfig lost;
    lost.faults.closeBeforeUpdateStart = true;
    sim::SimThread& s = Controller(lost);
    const CtlRun r = Ctl(Update(s, {"--yes", "--timeout", "1000"}));
    EXPECT_EQ(r.exit, 1) << r.Dump();
    EXPECT_TRUE(r.err.contains(U("QuelNet nie rozpoczął aktualizacji"))) << r.Dump();
    EXPECT_FALSE(r.out.contains(U("Zaktualizowano"))) << r.Dump();
    EXPECT_EQ(s.Restarts(), 0);
    EXPECT_EQ(s.Settings().EffectiveVersion(), "V4.0.1");
    EXPECT_NE(TextsOf(s.Flash()).left(128 * 256), QByteArray(128 * 256, '\0'));
}

TEST_F(CliFirmwareTest, UpdateRefusalsAndFailures) {
    sim::SimConfig noJumper;
    noJumper.jumper = false;
    sim::SimConfig old; // below 4 without the service mode
    old.generation = sim::Generation::Mid;
    const sim::SimThread& a = Controller(noJumper);
    const sim::SimThread& b = Controller(old);
    sim::SimConfig lithuanian;
    lithuanian.language = "LT";
    const sim::SimThread& c = Controller(lithuanian);
    struct Case {
        QStringList args;
        int exit;
        const char* text;
    } cases[] = {
        {Update(a, {"--yes"}), 3, "Brak zwory zezwalającej na programowanie."},
        {Update(b, {"--yes"}), 3, "Nie można przeprowadzić aktualizacji z wersji V2.1.3"},
        {{"update", Down(), "--to", "V4.0.1f", "--timeout", "500"}, 1, "Nie można wykryć QuelNet-a."},
        // Without the service mode the window offers the controller's language
        // only, and none for V2.1.4: a language given is refused as such.
        {Update(c, {"--yes", "--lang", "PL"}), 3, "tylko w trybie serwisowym (--service)"},
        {Update(c, {"--yes", "--lang", "LT"}), 2, "Pakiet nie ma języka „LT”"},
        {{"update", Host(c), "--to", "V2.1.4", "--lang", "PL", "--yes"},
         3,
         "Język oprogramowania (--lang) można wybrać tylko w trybie serwisowym (--service)."},
        {Update(c, {"--yes"}), 3, "Proszę wybrać wersję językową."}, // LT is not in the package
        {{"update", Host(c), "--to", "V2.1.4", "--yes"}, 3, "Proszę wybrać wersję językową."},
        {Update(a, {"--lang", "XX"}), 2, "Pakiet nie ma języka „XX”"},
        {{"update", Host(a), "--to", "V9"}, 2, "Opcja --to przyjmuje V4.0.1f albo V2.1.4"},
        {{"update", Host(a), "--to", "V4.0.1f", "--backup-dir", Package},
         2,
         "nie jest katalogiem (--backup-dir)"},
    };
    for (const Case& c : cases) {
        const CtlRun r = Ctl(c.args);
        EXPECT_EQ(r.exit, c.exit) << r.Dump();
        EXPECT_TRUE(r.err.contains(U(c.text))) << r.Dump();
    }
    EXPECT_EQ(Writes(a) + Writes(b) + Writes(c), 0);
}

TEST_F(CliFirmwareTest, BatchUpdateOfTwoControllers) {
    const sim::SimThread& a = Controller();
    const sim::SimThread& b = Controller();
    const CtlRun r =
        Ctl(QStringList{"update", "--hosts", HostsFile({Host(a), Host(b)}), "--jobs", "2", "--to", "V4.0.1f",
                        "--backup-dir", BackupDir(), "--restart-wait", "1000", "--json", "--yes"});
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(r.Json()["succeeded"].toInt(), 2);
    EXPECT_EQ(a.Settings().version, "V4.0.1f");
    EXPECT_EQ(b.Settings().version, "V4.0.1f");
    EXPECT_EQ(Backups().size(), 2);
}

// --- resources

TEST_F(CliFirmwareTest, ResourcesAreInstalledAndReadBack) {
    sim::SimThread& s = Controller();
    WriteAll(File("u1.html"), "<html><body>Moja strona</body></html>");
    WriteAll(File("s2.gif"), QByteArray("GIF89a") + QByteArray(300, 'x'));
    const QByteArray before = s.Flash();
    const QStringList args = {
        "resources",           Host(s),     "--page", "1=" + File("u1.html"), "--graphic",
        "2=" + File("s2.gif"), "--package", Package,  "--backup-dir",         BackupDir()};
    const CtlRun r = Ctl(args);
    ASSERT_EQ(r.exit, 0) << r.Dump();
    // The configuration and texts were copied before the DataFlash was rewritten.
    const QStringList folders = Backups();
    ASSERT_EQ(folders.size(), 1) << r.Dump();
    EXPECT_EQ(ReadAll(BackupDir() + '/' + folders[0] + "/Conf.QNC"), ConfigOf(before));
    EXPECT_EQ(ReadAll(BackupDir() + '/' + folders[0] + "/Text.QNT"), TextsOf(before));
    EXPECT_TRUE(r.err.contains(U("Kopia ustawień zapisana w katalogu "))) << r.Dump();
    EXPECT_TRUE(r.out.startsWith(U("Wolna przestrzeń : "))) << r.Dump();
    EXPECT_TRUE(r.out.contains(U("Odczyt kontrolny: stron 2048 zgodnych z obrazem."))) << r.Dump();

    // What the controller holds is the core's image of its language with the files.
    PackageReader reader = PackageReader::OfFile(Package);
    DataFlashImage image;
    TUser_Resource resource;
    resource.Html_U[0] = File("u1.html");
    resource.Gif_S[1] = File("s2.gif");
    int free = 0;
    ASSERT_TRUE(BuildDataFlashImage(reader, image, "PL", "V401f", free, &resource));
    EXPECT_EQ(s.Flash(), image.Bytes());

    // A page the memory stores wrongly is caught by the read-back.
    sim::Faults faults;
    faults.corruptWrittenPages = {0x300};
    s.SetFaults(faults);
    const CtlRun bad = Ctl(args);
    EXPECT_EQ(bad.exit, 1) << bad.Dump();
    EXPECT_TRUE(bad.err.contains(U("Odczyt kontrolny: strona 0x300 różni się od obrazu."))) << bad.Dump();
}

// After an install the controller serves its pages and graphics by name on its
// HTTP port, the start page at "/", and never the configuration area.
TEST_F(CliFirmwareTest, InstalledResourcesAreServedByNameOverHttp) {
    sim::SimConfig config;
    QString error;
    config.webFileNames = sim::ReadWebFileNames(Package, "PL", &error);
    ASSERT_FALSE(config.webFileNames.isEmpty()) << error.toStdString();
    sim::SimThread& s = Controller(config);
    const auto get = [&s](const QByteArray& path) {
        return sim::test::HttpExchange(s.HttpPort(), "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    };
    // Nothing installed yet (the file table is erased): the login form as before.
    EXPECT_TRUE(get("/").contains("name=\"y1\""));
    EXPECT_TRUE(get("/u1.html").startsWith("HTTP/1.1 404"));

    const QByteArray gif = QByteArray("GIF89a") + QByteArray(300, 'x');
    WriteAll(File("u1.html"), "<html><body><img src=\"s2.gif\">Pompa wody</body></html>");
    WriteAll(File("s2.gif"), gif);
    const CtlRun r = Ctl({"resources", Host(s), "--page", "1=" + File("u1.html"), "--graphic",
                          "2=" + File("s2.gif"), "--package", Package});
    ASSERT_EQ(r.exit, 0) << r.Dump();

    const QByteArray page = get("/u1.html");
    EXPECT_TRUE(page.startsWith("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n")) << page.left(200).data();
    EXPECT_TRUE(page.contains("Pompa wody"));
    EXPECT_TRUE(get("/s2.gif?t=1").endsWith("\r\n\r\n" + gif));
    EXPECT_TRUE(get("/S2.GIF").contains("Content-Type: image/gif\r\n"));
    // "/" is the first page of the image, byte for byte.
    PackageReader reader = PackageReader::OfFile(Package);
    const QStringList names = ImageSlotNames(reader, "PL", "V401f");
    const int first = int(names.indexOf("n00.html"));
    ASSERT_GE(first, 5);
    const QByteArray flash = s.Flash();
    const auto be24 = [&flash](int at) {
        return int(uchar(flash[at])) << 16 | int(uchar(flash[at + 1])) << 8 | int(uchar(flash[at + 2]));
    };
    const QByteArray start = flash.mid(be24(first * 8 + 1), be24(first * 8 + 5));
    EXPECT_TRUE(get("/").endsWith("\r\n\r\n" + start));
    for (const QByteArray hidden : {"/cnfdef.bin", "/prog.bin", "/errsys.bin", "/../u1.html", "/nothing.html"})
        EXPECT_TRUE(get(hidden).startsWith("HTTP/1.1 404")) << hidden.data();
}

TEST_F(CliFirmwareTest, ResourcesDryRunAndBadArguments) {
    sim::SimThread& s = Controller();
    const QByteArray before = s.Flash();
    const CtlRun dry = Ctl({"resources", Host(s), "--dry-run"});
    EXPECT_EQ(dry.exit, 0) << dry.Dump();
    EXPECT_TRUE(dry.out.contains(U("Próba: nic nie zostało zapisane."))) << dry.Dump();
    EXPECT_EQ(s.Flash(), before);
    EXPECT_EQ(s.RequestCount(), 0);

    for (const QString& bad :
         {QString("9=" + File("x.html")), QString("1"), QString("1=" + File("none.html"))}) {
        const CtlRun r = Ctl({"resources", Host(s), "--page", bad});
        EXPECT_EQ(r.exit, 2) << r.Dump();
    }
    EXPECT_EQ(s.RequestCount(), 0);
}

// --- package

TEST_F(CliFirmwareTest, PackageListMatchesTheReader) {
    const CtlRun r = Ctl({"package", "list", "--json"}); // the package of quelnet beside quelnetctl
    ASSERT_EQ(r.exit, 0) << r.Dump();
    PackageReader reader = PackageReader::OfFile(Package);
    QList<QStringList> expected, listed;
    TPackageEntry e;
    for (int i = 0; reader.ReadEntry(i, e); ++i)
        expected << QStringList{e.Lang, e.Version, e.FileName, QString::number(e.Size)};
    for (const QJsonValue g : r.Json()["groups"].toArray())
        for (const QJsonValue f : g["files"].toArray())
            listed << QStringList{g["lang"].toString(), g["version"].toString(), f["name"].toString(),
                                  QString::number(f["size"].toInt())};
    ASSERT_FALSE(expected.isEmpty());
    std::sort(expected.begin(), expected.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);

    const CtlRun text = Ctl({"package", "list", "--package", Package});
    EXPECT_TRUE(text.out.contains(U("Grupa PL V401f: plików "))) << text.Dump();
}

TEST_F(CliFirmwareTest, PackageImageAndExtractMatchTheCore) {
    WriteAll(File("u3.html"), "<html>trzecia</html>");
    const CtlRun r = Ctl({"package", "image", "--lang", "PL", "--firmware", "V401f", "--output",
                          File("flash.bin"), "--page", "3=" + File("u3.html"), "--package", Package});
    ASSERT_EQ(r.exit, 0) << r.Dump();
    PackageReader reader = PackageReader::OfFile(Package);
    DataFlashImage image;
    TUser_Resource resource;
    resource.Html_U[2] = File("u3.html");
    int free = 0;
    ASSERT_TRUE(BuildDataFlashImage(reader, image, "PL", "V401f", free, &resource));
    EXPECT_EQ(ReadAll(File("flash.bin")), image.Bytes());

    QByteArray program;
    ASSERT_EQ(reader.Extract("IP_QueL.hex", -1, "  ", "V401f", program), 131072);
    // The version as update --to spells it, or the package's tag.
    for (const char* version : {"V4.0.1f", "V401f"}) {
        const CtlRun x =
            Ctl({"package", "extract", "IP_QueL.hex", "--firmware", version, "--output", File("p.hex")});
        ASSERT_EQ(x.exit, 0) << x.Dump();
        EXPECT_EQ(ReadAll(File("p.hex")), program);
        QFile::remove(File("p.hex"));
    }
    const CtlRun wrong =
        Ctl({"package", "extract", "IP_QueL.hex", "--firmware", "4.0.1", "--output", File("w")});
    EXPECT_EQ(wrong.exit, 2) << wrong.Dump();
    EXPECT_TRUE(wrong.err.contains(U("Opcja --firmware przyjmuje V4.0.1f albo V2.1.4 (także V401f, V214).")))
        << wrong.Dump();

    const CtlRun missing =
        Ctl({"package", "extract", "nie.ma", "--firmware", "V401f", "--output", File("n")});
    EXPECT_EQ(missing.exit, 1) << missing.Dump();
    EXPECT_FALSE(QFile::exists(File("n")));
    EXPECT_EQ(Ctl({"package", "image", "--output", File("n")}).exit, 2);
    EXPECT_EQ(Ctl({"package", "list", "--package", File("none")}).exit, 1);
}

} // namespace
