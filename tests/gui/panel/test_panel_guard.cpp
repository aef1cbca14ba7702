// The panel file against what it may cost: files and panels beyond the
// program's limits are refused whole, a window is never larger than the
// screens, and a file that could not be read is never lost on closing.
#include "tests/gui/panel/PanelFileTestSupport.h"

#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelFile.h"
#include "core/panel/PanelLimits.h"
#include "gui/common/Platform.h"
#include "gui/panel/PanelWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>

using namespace quelnet;
using namespace quelnet::test;

namespace {

// A host that counts what the reader asks of it.
class CountingHost : public IPanelFileHost {
public:
    ElementRecords records;
    int windowRects = 0, created = 0;

    ElementRecords& PanelRecords() override { return records; }
    void SetPanelWindowState(int) override {}
    void SetPanelWindowRect(int, int, int, int) override { ++windowRects; }
    int AllocateElementSlot(int kind) override { return records.Append(kind); }
    void CreateElementViews(int, int, const QRect&) override { ++created; }
};

QByteArray Labels(int count) {
    QByteArray out = CrLf({"{", "x_tp=scr", "x_px=0", "x_py=0", "x_pw=300", "x_ph=200", "s_ws=0", "}"});
    for (int i = 0; i < count; ++i)
        out += CrLf({"{", "x_tp=tlb", "x_px=8", "x_py=8", "x_pw=64", "x_ph=16", "}"});
    return out;
}

// "{", "x_tp=scr" ... in UTF-16 little-endian, as a text editor writes it.
QByteArray Utf16LE(const QByteArray& ascii) {
    QByteArray out;
    for (char c : ascii)
        out.append(c).append('\0');
    return out;
}

class PanelLoadLimits : public PanelFileFixture {
protected:
    PanelLoadResult Load(const QByteArray& bytes) {
        WriteFile(bytes);
        return LoadPanelFile(Path(), host);
    }
    CountingHost host;
};

TEST_F(PanelLoadLimits, ElementCountBeyondTheLimitIsRefusedWhole) {
    PanelLoadResult r = Load(Labels(MaxPanelElements));
    EXPECT_EQ(r.Status, PanelLoadStatus::Read);
    EXPECT_EQ(host.created, MaxPanelElements);

    host = CountingHost();
    r = Load(Labels(MaxPanelElements + 1));
    EXPECT_EQ(r.Status, PanelLoadStatus::Refused);
    EXPECT_EQ(r.Why, "Panel ma 4097 elementów, a program przyjmuje najwyżej 4096.");
    EXPECT_EQ(host.created + host.windowRects + host.records.Count(KindText), 0); // nothing touched
    EXPECT_TRUE(r.MustKeepOldBytes());
}

TEST_F(PanelLoadLimits, FileBeyondTheSizeOrLineLimitIsRefusedUnread) {
    // A valid panel padded up to exactly the limit with an unknown key is read.
    QByteArray bytes = Labels(1) + "zzzz=";
    bytes += QByteArray(MaxPanelFileBytes - bytes.size() - 2, 'a') + "\r\n";
    PanelLoadResult r = Load(bytes);
    EXPECT_EQ(r.Status, PanelLoadStatus::Read);
    EXPECT_EQ(host.created, 1);

    host = CountingHost();
    r = Load(bytes + "\n");
    EXPECT_EQ(r.Status, PanelLoadStatus::Refused);
    EXPECT_EQ(r.Why, "Plik ma 16777217 bajtów, a program przyjmuje najwyżej 16777216.");
    EXPECT_EQ(host.created + host.windowRects, 0);

    // Empty lines, each of which would cost a string: a line limit of its own.
    const QByteArray panel = Labels(1);
    const int panelLines = int(panel.count('\n'));
    r = Load(panel + QByteArray(MaxPanelLines - panelLines, '\n'));
    EXPECT_EQ(r.Status, PanelLoadStatus::Read);
    host = CountingHost();
    r = Load(panel + QByteArray(MaxPanelLines - panelLines + 1, '\r')); // lone CRs end lines too
    EXPECT_EQ(r.Status, PanelLoadStatus::Refused);
    EXPECT_EQ(r.Why, "Plik ma 262145 wierszy, a program przyjmuje najwyżej 262144.");
    EXPECT_EQ(host.created + host.windowRects, 0);
}

TEST_F(PanelLoadLimits, FilesThatCannotBeReadAreToldFromMissingOrEmptyOnes) {
    const QByteArray panel = Labels(1);
    const struct {
        const char* name;
        QByteArray bytes;
        PanelLoadStatus status;
        int created;
    } cases[] = {
        {"empty file", "", PanelLoadStatus::Read, 0},
        {"UTF-16 LE with its own mark", "\xFF\xFE" + Utf16LE(panel), PanelLoadStatus::Read, 1},
        {"UTF-16 LE behind a big-endian mark", "\xFE\xFF" + Utf16LE(panel), PanelLoadStatus::Unreadable, 0},
        {"UTF-16 LE without a mark", Utf16LE(panel), PanelLoadStatus::Unreadable, 0},
        {"binary garbage", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), PanelLoadStatus::Unreadable, 0},
        {"odd byte count after a UTF-16 mark", "\xFF\xFE" + Utf16LE(panel) + "x", PanelLoadStatus::Damaged,
         1},
        {"zeros written over part of it", panel + QByteArray(64, '\0') + panel, PanelLoadStatus::Damaged, 2},
        {"invalid UTF-8 after a UTF-8 mark", "\xEF\xBB\xBF" + panel + "t_tx=\xC3\x28\r\n",
         PanelLoadStatus::Damaged, 1},
    };
    for (const auto& c : cases) {
        host = CountingHost();
        const PanelLoadResult r = Load(c.bytes);
        EXPECT_EQ(int(r.Status), int(c.status)) << c.name;
        EXPECT_EQ(host.created, c.created) << c.name;
        EXPECT_EQ(r.MustKeepOldBytes(), c.status != PanelLoadStatus::Read) << c.name;
    }
    ASSERT_TRUE(QFile::remove(Path()));
    EXPECT_EQ(int(LoadPanelFile(Path(), host).Status), int(PanelLoadStatus::Missing));
}

// ---- the panel window ----

struct Box {
    QMessageBox::Icon icon;
    QString title, text;
};

class PanelGuardWindow : public PanelFileFixture {
protected:
    void SetUp() override {
        PanelFileFixture::SetUp();
        Platform().MessageBox = [this](QWidget*, QMessageBox::Icon icon, const QString& title,
                                       const QString& text, QMessageBox::StandardButtons) {
            boxes.push_back({icon, title, text});
            return QMessageBox::Ok;
        };
    }
    void TearDown() override {
        RestoreDefaultPlatform();
        SetFolderWritableCheck({});
        PanelFileFixture::TearDown();
    }
    QByteArray Backup() const {
        QFile f(Path() + ".bak");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
    std::vector<Box> boxes;
};

// A window of 2147483647 pixels a side asked for a 17 GB buffer, and closing
// wrote the size back, so every start paid it again. 4000 x 3000 shows it at
// a small price: the offscreen screen is 800 x 600.
TEST_F(PanelGuardWindow, WindowIsNeverLargerThanTheDesktop) {
    WriteFile(CrLf({"{", "x_tp=scr", "x_px=0", "x_py=0", "x_pw=4000", "x_ph=3000", "s_ws=0", "}"}));
    const QSize desktop = QGuiApplication::primaryScreen()->availableVirtualGeometry().size();
    ASSERT_LT(desktop.width(), 4000);
    for (bool editMode : {true, false}) {
        auto w = ShowWindow(editMode);
        EXPECT_LE(w->frameGeometry().width(), desktop.width()) << editMode;
        EXPECT_LE(w->frameGeometry().height(), desktop.height()) << editMode;
        w->close();
    }
    const QByteArray saved = ReadFile(); // written back by the editor only
    EXPECT_TRUE(saved.contains(QStringLiteral("x_pw=%1\r\n").arg(desktop.width()).toLatin1()))
        << saved.data();
    EXPECT_TRUE(saved.contains(QStringLiteral("x_ph=%1\r\n").arg(desktop.height()).toLatin1()))
        << saved.data();
}

// A window placed wholly beyond the screens (x_px=2147483647 is read as
// 32767) would be out of the user's reach: it is brought onto them. A window
// partly on the screens keeps its place.
TEST_F(PanelGuardWindow, WindowBeyondTheScreensIsBroughtOntoThem) {
    const QRect desktop = QGuiApplication::primaryScreen()->availableVirtualGeometry();
    struct Case {
        const char *left, *top;
        QPoint expected;
    } cases[] = {
        {"2147483647", "0", {desktop.right() - 299, 0}},
        {"-2147483648", "-2147483648", desktop.topLeft()},
        {"0", "40000", {0, desktop.bottom() - 199}},
        {"-100", "50", {-100, 50}},
    };
    for (const Case& c : cases) {
        const QByteArray px = QByteArray("x_px=") + c.left, py = QByteArray("x_py=") + c.top;
        WriteFile(CrLf({"{", "x_tp=scr", px.constData(), py.constData(), "x_pw=300", "x_ph=200", "s_ws=0", "}"}));
        auto w = ShowWindow(false);
        EXPECT_EQ(w->frameGeometry().topLeft(), c.expected) << c.left << "," << c.top;
        EXPECT_TRUE(w->frameGeometry().intersects(desktop)) << c.left << "," << c.top;
        w->close();
    }
}

// Beyond the element limit the panel is refused with a message, in either
// mode, and the editor leaves the file as it was.
TEST_F(PanelGuardWindow, PanelBeyondTheElementLimitIsRefusedAndItsFileKept) {
    const QByteArray file = Labels(MaxPanelElements + 1);
    WriteFile(file);
    for (bool editMode : {false, true}) {
        boxes.clear();
        auto w = ShowWindow(editMode);
        EXPECT_EQ(w->Records.Count(KindText), 0);
        ASSERT_GE(boxes.size(), 1u) << editMode;
        EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
        EXPECT_EQ(boxes[0].title, "Ostrzeżenie");
        EXPECT_EQ(boxes[0].text.split('\n'),
                  QStringList({"Panel nie został wczytany, plik pozostaje bez zmian:",
                               QDir::toNativeSeparators(Path()),
                               "Panel ma 4097 elementów, a program przyjmuje najwyżej 4096."}));
        EXPECT_TRUE(w->close());
    }
    EXPECT_EQ(ReadFile(), file);
    ASSERT_EQ(boxes.size(), 2u); // the editor says why the file stays
    EXPECT_EQ(boxes[1].text.split('\n'), QStringList({"Panel jest pusty, plik panelu pozostaje bez zmian:",
                                                      QDir::toNativeSeparators(Path())}));
    EXPECT_FALSE(QFileInfo::exists(Path() + ".bak"));
}

// A UTF-16 file behind the wrong byte-order mark read as nothing, and closing
// the editor replaced it with a 60-byte window-only file.
TEST_F(PanelGuardWindow, UnreadFileIsNeverReplacedByAnEmptyPanel) {
    const QByteArray file = "\xFE\xFF" + Utf16LE(Labels(2));
    WriteFile(file);
    auto w = ShowWindow(true);
    EXPECT_EQ(w->Records.Count(KindText), 0);
    EXPECT_TRUE(boxes.empty()); // nothing to say until something would be lost
    EXPECT_TRUE(w->close());
    EXPECT_EQ(ReadFile(), file);
    EXPECT_FALSE(QFileInfo::exists(Path() + ".bak"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes[0].text.split('\n'), QStringList({"Panel jest pusty, plik panelu pozostaje bez zmian:",
                                                      QDir::toNativeSeparators(Path())}));
}

// What the user built over an unread file is saved; the old bytes are kept
// beside it and the user is told where.
TEST_F(PanelGuardWindow, PanelBuiltOverAnUnreadFileIsSavedAndTheOldBytesKept) {
    const QByteArray file = Utf16LE(Labels(2));
    WriteFile(file);
    {
        QFile older(Path() + ".bak"); // an older copy is replaced
        ASSERT_TRUE(older.open(QIODevice::WriteOnly));
        older.write("older");
    }
    auto w = ShowWindow(true);
    ASSERT_EQ(w->Views().AllocateSlot(KindButton), 0);
    ASSERT_TRUE(w->Views().CreateElementViews(KindButton, 0, QRect(8, 8, 64, 24)));
    EXPECT_TRUE(w->close());
    EXPECT_EQ(Backup(), file);
    EXPECT_TRUE(ReadFile().contains("x_tp=btn\r\n"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes[0].text.split('\n'),
              QStringList({"Poprzednia zawartość pliku panelu została zachowana w pliku:",
                           QDir::toNativeSeparators(Path() + ".bak")}));
}

// An installed program keeps the panel in the user's configuration folder
// and the editor says where; a portable copy says nothing.
TEST_F(PanelGuardWindow, EditorShowsWhereAnInstalledProgramKeepsThePanel) {
    SetPanelFilePathOverride(QString());
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(DirPath("config")));
    const QString config = QDir::toNativeSeparators(DirPath("config") + "/quelnet/quelnet_scr.cnf");
    for (bool writable : {false, true}) {
        SetFolderWritableCheck([writable](const QString&) { return writable; });
        auto w = ShowWindow(true);
        QStatusBar* bar = w->findChild<QStatusBar*>("StatusBar1");
        ASSERT_TRUE(bar);
        EXPECT_EQ(bar->isVisible(), !writable);
        EXPECT_EQ(bar->currentMessage(), writable ? QString() : "Plik panelu: " + config);
        if (!writable) {
            EXPECT_TRUE(w->close());
            EXPECT_TRUE(QFileInfo(config).isFile()); // the folder was made
        }
    }
    qputenv("XDG_CONFIG_HOME", oldConfig);
}

} // namespace
