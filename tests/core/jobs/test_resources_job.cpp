// The user resources job: size texts, the free space the user's files leave
// in the DataFlash image of quelnet's package, and installations into a
// simulated controller over loopback, with every outcome's status and box.
#include "tests/core/firmware/PackageFixtures.h"
#include "tests/core/link/LinkFixtures.h"
#include "tests/core/link/SimFixture.h"
#include "tests/support/ProgramPackage.h"
#include "tests/support/ScriptedDialogs.h"

#include "core/jobs/ResourcesJob.h"

#include <QFile>
#include <QTemporaryDir>

using namespace quelnet;
using namespace quelnet::test;

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

constexpr int DefaultFree = 154302; // (PL, V401f) of quelnet's package without user files

// The bytes of file slot `slot` of a DataFlash image.
QByteArray SlotFile(const QByteArray& flash, int slot) {
    const auto be24 = [&](int at) {
        return int(uchar(flash[at])) << 16 | int(uchar(flash[at + 1])) << 8 | int(uchar(flash[at + 2]));
    };
    return flash.mid(be24(slot * 8 + 1), be24(slot * 8 + 5));
}

// The slot a file of (PL, V401f) takes: every file of the group has one, in order.
int SlotOf(const QString& name) {
    int count = 0;
    return int(GetPackageFiles("PL", "V401f", count).indexOf(name));
}

class ResourcesJobTest : public SimLinkTest {
protected:
    static void SetUpTestSuite() { UseProgramPackage(); }

    ResourcesJobTest() {
        TfmCommon::Timeouts t = common.GetTimeouts();
        t.Identify = 500;
        common.SetTimeouts(t);
    }
    QString File(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    ResourcesJob Job() { return ResourcesJob(common, {dialogs, dialogs, log, progress, &pump, nullptr}); }
    // Installs; checks that the status line got the text the box shows.
    QString Install(const ControllerTarget& target, const TUser_Resource& resource) {
        QStringList statuses;
        const QString text = Job().Install(target, resource, [&](const QString& s) { statuses << s; });
        EXPECT_EQ(statuses, QStringList{text});
        EXPECT_EQ(dialogs.messages.size(), 1);
        if (!dialogs.messages.isEmpty()) {
            EXPECT_EQ(dialogs.messages.last().text, text);
        }
        return text;
    }
    int DefaultSize(const QString& name) { return int(PackageFile(name, "PL", "V401f").size()); }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    RecordingLog log;
    RecordingProgress progress;
    CallbackPump pump{[] {}};
};

TEST(ResourceSizes, KiBiRoundedUp) {
    const std::pair<qint64, const char*> rows[] = {{-1, "-"},
                                                   {0, "-"},
                                                   {1, "1kBi"},
                                                   {1024, "1kBi"},
                                                   {1025, "2kBi"},
                                                   {2048, "2kBi"},
                                                   {DefaultFree, "151kBi"}};
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(SizeText(bytes), text) << bytes;

    QTemporaryDir dir;
    for (const int size : {0, 1, 1025}) {
        QFile f(dir.filePath(QString::number(size)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
        f.close();
        EXPECT_EQ(UserFileSize(f.fileName()), size);
    }
    EXPECT_EQ(UserFileSize(dir.filePath("missing.gif")), -1);
    EXPECT_EQ(UserFileSize(QString()), -1);
}

TEST(ResourceDialogs, PagesAndGraphicsHaveTheirFilters) {
    ScriptedDialogs dialogs;
    dialogs.paths = {QString("/tmp/a.html"), std::nullopt};
    EXPECT_EQ(ResourcesJob::Choose(dialogs, ResourceKind::Page), QString("/tmp/a.html"));
    EXPECT_EQ(ResourcesJob::Choose(dialogs, ResourceKind::Graphic), std::nullopt);
    ASSERT_EQ(dialogs.choices.size(), 2);
    EXPECT_EQ(dialogs.choices[0].filter, "HTML|*.html|HTM|*.htm|TEXT|*.txt");
    EXPECT_EQ(dialogs.choices[1].filter, "GIF|*.gif");
}

TEST_F(ResourcesJobTest, FreeSpaceOfTheChosenFiles) {
    const int s1 = DefaultSize("s1.gif"), s8 = DefaultSize("s8.gif");
    ASSERT_GT(s1, 0);
    struct Case {
        const char* what;
        int slot; // Gif_S entry, -1 for none
        QByteArray file;
        const char* text;
    };
    const Case cases[] = {
        {"package defaults", -1, {}, "Wolna przestrzeń : 151kBi"},
        {"s1 ten KiB larger", 0, QByteArray(s1 + 10240, 'g'), "Wolna przestrzeń : 141kBi"},
        {"s1 missing keeps the default", 0, {}, "Wolna przestrzeń : 151kBi"},
        {"s8, the last file, ends at the end of the image", 7, QByteArray(s8 + DefaultFree, 'g'),
         "Wolna przestrzeń : -"},
        {"s1 too large for the image", 0, QByteArray(s1 + DefaultFree + 1, 'g'), "Wolna przestrzeń : -"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TUser_Resource resource;
        if (c.slot >= 0)
            resource.Gif_S[size_t(c.slot)] =
                c.file.isEmpty() ? dir.filePath("missing.gif") : File("s.gif", c.file);
        EXPECT_EQ(ResourcesJob::FreeSpaceText(resource), U(c.text));
    }
}

TEST_F(ResourcesJobTest, FreeSpaceKeepsItsTextWithoutAPackage) {
    ProcessPackage() = PackageReader::OfBytes(QByteArray(4096, 'x'));
    EXPECT_EQ(ResourcesJob::FreeSpaceText({}), std::nullopt);
    UseProgramPackage();
}

// The controller's own language does not matter: 4.x controllers get (PL,
// V401f). Pages that start with the doctype are compacted like the package's.
TEST_F(ResourcesJobTest, InstallWritesTheUsersFiles) {
    sim::SimConfig config;
    config.language = "LT";
    config.password = "tajne";
    StartSim(config);
    TUser_Resource resource;
    resource.Html_U[0] = dir.filePath("missing.html");
    resource.Html_U[2] = File("u3.html", CommentedPage());
    resource.Html_U[6] = File("u7.txt", "  no doctype\r\n  kept as it is  \r\n");
    resource.Gif_S[4] = File("s5.gif", "GIF89a user graphic");

    EXPECT_EQ(Install({Loopback, PortText(), "tajne"}, resource), U("Zasoby zostały załadowane."));
    EXPECT_EQ(dialogs.messages[0].caption, "Informacja");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);

    const QByteArray flash = sim->Flash();
    EXPECT_EQ(flash, GroupImage("PL", "V401f", {}, &resource));
    EXPECT_EQ(SlotFile(flash, SlotOf("u3.html")),
              QByteArray("<!DOCTYPE html><p>Stan</p>\r\n<!-- komentarz\r\nkoniec -->\r\n<b>x</b>"));
    EXPECT_EQ(SlotFile(flash, SlotOf("u7.html")), QByteArray("  no doctype\r\n  kept as it is  \r\n"));
    EXPECT_EQ(SlotFile(flash, SlotOf("s5.gif")), QByteArray("GIF89a user graphic"));
    EXPECT_EQ(SlotFile(flash, SlotOf("u1.html")), SlotFile(GroupImage("PL", "V401f"), SlotOf("u1.html")));
    EXPECT_EQ(sim->Requests().size(), 1 + 2048);
    EXPECT_EQ(progress.Position(), 0);
}

TEST_F(ResourcesJobTest, EveryOutcomeHasItsStatusAndBox) {
    struct Case {
        const char* what;
        sim::SimConfig controller;
        bool reachable;
        bool tooLarge;
        int pageFault; // -1: none
        const char* caption;
        MessageIcon icon;
        const char* text;
        int requests; // what the controller received
    };
    sim::SimConfig mid, noJumper;
    mid.generation = sim::Generation::Mid;
    noJumper.jumper = false;
    const Case cases[] = {
        {"nobody there",
         {},
         false,
         false,
         -1,
         "Ostrzeżenie",
         MessageIcon::Warning,
         "Nie wykryto QuelNet-a wersji 4.x.x.",
         0},
        {"controller below version 4", mid, true, false, -1, "Ostrzeżenie", MessageIcon::Warning,
         "Nie wykryto QuelNet-a wersji 4.x.x.", 1},
        {"jumper missing", noJumper, true, false, -1, "Ostrzeżenie", MessageIcon::Warning,
         "Brak zwory zezwalającej na programowanie.", 1},
        {"files too large",
         {},
         true,
         true,
         -1,
         "Błąd",
         MessageIcon::Error,
         "Wybrane pliki nie mieszczą się w pamięci DataFlash QuelNet-a.",
         1},
        {"pages refused",
         {},
         true,
         false,
         2,
         "Błąd",
         MessageIcon::Error,
         "Błąd programowania DataFlash.",
         1 + 2 + 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartSim(c.controller);
        if (c.pageFault >= 0) {
            sim::Faults f;
            f.wrongEchoOnPage = {c.pageFault};
            sim->SetFaults(f);
        }
        const QByteArray before = sim->Flash();
        TUser_Resource resource;
        if (c.tooLarge)
            resource.Html_U[3] = File("big.html", QByteArray(600 * 1024, 'x'));
        dialogs = ScriptedDialogs();
        const QString port = c.reachable ? PortText() : QString::number(ClosedPort());
        EXPECT_EQ(Install({Loopback, port, SimPassword}, resource), U(c.text));
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0].caption, U(c.caption));
        EXPECT_EQ(dialogs.messages[0].icon, c.icon);
        EXPECT_EQ(sim->RequestCount(), c.requests);
        if (c.pageFault < 0) {
            EXPECT_EQ(sim->Flash(), before);
        }
        EXPECT_EQ(progress.Position(), 0);
    }
}

} // namespace
