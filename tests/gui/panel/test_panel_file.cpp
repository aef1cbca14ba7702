// The panel file: written and read through real panel windows (offscreen) in
// a temporary directory, and the reader's rules against a recording host.
#include "tests/gui/panel/PanelFileTestSupport.h"
#include "tests/support/Named.h"

#include "core/base/CodePage.h"
#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelFile.h"
#include "gui/panel/PanelWindow.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <csignal>
#include <limits>
#include <sys/resource.h>

using namespace quelnet;
using namespace quelnet::test;

namespace {

// The worked example: a window at (100, 50) of 716 by 420 with one digital
// indicator and one text label, written under Polish settings.
QByteArray WorkedExample() {
    return CrLf({"{",
                 "x_tp=scr",
                 "x_px=100",
                 "x_py=50",
                 "x_pw=716",
                 "x_ph=420",
                 "s_ws=0",
                 "}",
                 "{",
                 "x_tp=idg",
                 "x_px=16",
                 "x_py=64",
                 "x_pw=64",
                 "x_ph=64",
                 "iden=yes",
                 "idho=192.168.1.20",
                 "idpr=7080",
                 "idps=",
                 "idoc=",
                 "idom=0",
                 "idic=IN1",
                 "idim=0",
                 "idil=C:\\panel\\off.png",
                 "idih=C:\\panel\\on.png",
                 "idfr=500",
                 "}",
                 "{",
                 "x_tp=tlb",
                 "x_px=96",
                 "x_py=88",
                 "x_pw=128",
                 "x_ph=16",
                 "t_en=yes",
                 "t_tx=Pompa",
                 "t_fn=Tahoma",
                 "t_fs=10",
                 "t_fc=$000000FF",
                 "t_fb=yes",
                 "t_fi=no",
                 "t_fu=no",
                 "t_ft=no",
                 "}"});
}

QStringList TypeLines(const QByteArray& file) {
    QStringList tags;
    for (const QString& l : SplitPanelLines(FromAnsi(file)))
        if (l.startsWith("x_tp="))
            tags << l.mid(5);
    return tags;
}

class PanelFileTest : public PanelFileFixture {};

TEST_F(PanelFileTest, WorkedExampleReadInTheEditorIsWrittenAgainByteForByte) {
    WriteFile(WorkedExample());
    auto w = ShowWindow(true);

    EXPECT_EQ(w->frameGeometry(), QRect(100, 50, 716, 420));
    ASSERT_EQ(w->Records.ES_DSigns.size(), 1u);
    const TES_DSign& d = w->Records.ES_DSigns[0];
    EXPECT_TRUE(d.sEnabled);
    EXPECT_EQ(d.sHost, "192.168.1.20");
    EXPECT_EQ(d.sPort, 7080);
    EXPECT_TRUE(d.sPass.isEmpty());
    EXPECT_TRUE(d.sO_DCir.isEmpty());
    EXPECT_EQ(d.sI_DCir, "IN1");
    EXPECT_EQ(d.sI_Conn, 0);
    EXPECT_EQ(d.sI_ImgL, "C:\\panel\\off.png");
    EXPECT_EQ(d.sI_ImgH, "C:\\panel\\on.png");
    EXPECT_EQ(d.sI_Refr, 500u);
    ASSERT_EQ(w->Records.ES_Texts.size(), 1u);
    const TES_Text& t = w->Records.ES_Texts[0];
    EXPECT_EQ(t.sText, "Pompa");
    EXPECT_EQ(t.sFontName, "Tahoma");
    EXPECT_EQ(t.sFontSize, 10);
    EXPECT_EQ(t.sFontColor, 0x000000FFu);
    EXPECT_TRUE(t.sFontBold);
    EXPECT_FALSE(t.sFontItalic || t.sFontUnder || t.sFontStrike);

    PanelViews& v = w->Views();
    ASSERT_EQ(v.Quel_SignD_Image.size(), 1u);
    ASSERT_TRUE(v.Quel_SignD_Image[0]);
    EXPECT_EQ(v.Quel_SignD_Image[0]->geometry(), QRect(16, 64, 64, 64));
    EXPECT_TRUE(v.Quel_SignD_Shape[0]);
    ASSERT_TRUE(v.Quel_Text[0]);
    EXPECT_EQ(PanelViews::ElementRect(v.Quel_Text[0]), QRect(96, 88, 128, 16));

    QFile::remove(Path());
    ASSERT_TRUE(w->SaveElements());
    EXPECT_EQ(ReadFile(), WorkedExample());
}

TEST_F(PanelFileTest, WorkedExampleInRunModeShowsIndicatorPictureAndLabel) {
    WriteFile(WorkedExample());
    auto w = ShowWindow(false);
    PanelViews& v = w->Views();
    ASSERT_EQ(v.Quel_SignD_Image.size(), 1u);
    EXPECT_TRUE(v.Quel_SignD_Image[0]);
    EXPECT_TRUE(v.Quel_SignD_Shape.empty());
    ASSERT_TRUE(v.Quel_Text[0]);
    EXPECT_EQ(v.Quel_Text[0]->pos(), QPoint(96, 88));
    EXPECT_EQ(w->Records.ES_DSigns[0].sI_Refr, 500u);
    // Without a device link the window polls nothing (the panel's controller
    // is not ours to contact); the run-window tests poll the simulator.
    EXPECT_FALSE(Named<QTimer>(*w, "Timer2"));
    EXPECT_EQ(w->frameGeometry(), QRect(100, 50, 716, 420));
    w->close();
    EXPECT_TRUE(v.Quel_SignD_Image.empty());
    // Run mode never writes the panel.
    EXPECT_EQ(ReadFile(), WorkedExample());
}

// Distinctive settings for every field of every kind.
void FillRecords(ElementRecords& r) {
    TES_Button& b = r.ES_Buttons[0];
    b.sHost = "sterownik.lan";
    b.sPort = 65535;
    b.sPass = "hasło ąę";
    b.sO_DCir = "OUT1";
    b.sO_Mode = 2;
    b.sI_DCir = "IN2";
    b.sI_Conn = 1;
    b.sI_ImgL = "/obrazy/wyłączony.png";
    b.sI_ImgH = "/obrazy/on.png";
    b.sI_Refr = 4294967295u;
    b.sCaption = "Pompa główna";

    TES_DSign& d = r.ES_DSigns[0];
    d.sHost = "127.0.0.1";
    d.sPort = 7080;
    d.sPass = "3958";
    d.sO_DCir = "OUT8";
    d.sO_Mode = 1;
    d.sI_DCir = "IN8";
    d.sI_Conn = 0;
    d.sI_ImgL = "a.bmp";
    d.sI_ImgH = "b.bmp";
    d.sI_Refr = 0;

    TES_ASign& a = r.ES_ASigns[0];
    a.sHost = "h";
    a.sPort = 1;
    a.sPass = "p";
    a.sI_ACir = "AN1";
    a.sI_Conn = 1;
    a.sI_ImgD = "def.png";
    const float levels[AnalogLevelCount] = {0.1f, -2.5f, 1e-7f, 3.4e38f, 123456.789f, 0.f, -0.00001f, 80.5f};
    for (int i = 0; i < AnalogLevelCount; ++i) {
        a.sI_Lev[i] = levels[i];
        a.sI_Img[i] = QString("lev%1.png").arg(i + 1);
    }
    a.sI_Refr = 250;

    TES_Text& t = r.ES_Texts[0];
    t.sText = "yes";
    t.sFontName = "DejaVu Sans";
    t.sFontSize = -12;
    t.sFontColor = 0xFF000008; // window text
    t.sFontBold = false;
    t.sFontItalic = true;
    t.sFontUnder = true;
    t.sFontStrike = true;

    TES_Track& k = r.ES_Tracks[0];
    k.sHost = "10.0.0.5";
    k.sPort = 8092;
    k.sPass = "";
    k.sO_ACir = "AOUT1";
    k.sOrient = 1;
    k.sRevers = 1;
    k.sSteps = 10;
    k.sStartVal = -1.5f;
    k.sStepVal = 0.25f;
    k.sStopVal = 1.0f;
}

TEST_F(PanelFileTest, EveryKindRoundTripsThroughEditorAndRunWindows) {
    const QRect rects[ElementKindCount] = {
        {8, 16, 64, 24}, {80, 16, 64, 64}, {152, 16, 48, 96}, {8, 120, 128, 16}, {216, 16, 32, 128}};
    ElementRecords expected;
    {
        auto a = ShowWindow(true);
        for (int k = 0; k < ElementKindCount; ++k)
            ASSERT_EQ(a->Views().AllocateSlot(k), 0);
        FillRecords(a->Records);
        for (int k = 0; k < ElementKindCount; ++k)
            ASSERT_TRUE(a->Views().CreateElementViews(k, 0, rects[k]));
        expected = a->Records;
        a->close(); // the editor saves on closing
    }
    const QByteArray file = ReadFile();
    // Polish letters are stored in Windows-1250 ("ł" is 0xB3), without a byte-order mark.
    EXPECT_TRUE(file.contains("p_cp=Pompa g\xB3\xF3wna\r\n"));
    EXPECT_TRUE(file.startsWith("{\r\nx_tp=scr\r\n"));
    EXPECT_TRUE(file.contains("ial1=0,100000001490116\r\n"));
    EXPECT_TRUE(file.contains("t_fc=$FF000008\r\n"));
    EXPECT_TRUE(file.contains("p_fr=4294967295\r\n"));
    EXPECT_TRUE(file.contains("t_fs=-12\r\n"));

    auto b = ShowWindow(true);
    ASSERT_EQ(b->Records.ES_Buttons.size(), 1u);
    ASSERT_EQ(b->Records.ES_DSigns.size(), 1u);
    ASSERT_EQ(b->Records.ES_ASigns.size(), 1u);
    ASSERT_EQ(b->Records.ES_Texts.size(), 1u);
    ASSERT_EQ(b->Records.ES_Tracks.size(), 1u);
    ExpectSame(b->Records.ES_Buttons[0], expected.ES_Buttons[0]);
    ExpectSame(b->Records.ES_DSigns[0], expected.ES_DSigns[0]);
    ExpectSame(b->Records.ES_ASigns[0], expected.ES_ASigns[0]);
    ExpectSame(b->Records.ES_Texts[0], expected.ES_Texts[0]);
    ExpectSame(b->Records.ES_Tracks[0], expected.ES_Tracks[0]);
    for (int k = 0; k < ElementKindCount; ++k) {
        QWidget* principal = b->Views().PrincipalControl(k, 0);
        ASSERT_TRUE(principal) << "kind " << k;
        EXPECT_EQ(PanelViews::ElementRect(principal), rects[k]) << "kind " << k;
    }
    b->close();
    // Written again unchanged.
    EXPECT_EQ(ReadFile(), file);

    auto c = ShowWindow(false);
    PanelViews& v = c->Views();
    EXPECT_TRUE(v.Quel_Button_Panel[0] && v.Quel_Button_Image[0]);
    EXPECT_TRUE(v.Quel_SignD_Image[0] && v.Quel_SignA_Image[0] && v.Quel_Text[0]);
    ASSERT_TRUE(v.Quel_Slider_Track[0]);
    EXPECT_EQ(v.Quel_Slider_Track[0]->geometry(), rects[KindTrack]);
    EXPECT_EQ(v.Quel_Slider_Track[0]->maximum(), 10);
    EXPECT_TRUE(v.Quel_Slider_Image.empty() && v.Quel_Slider_Shape.empty());
    ExpectSame(c->Records.ES_ASigns[0], expected.ES_ASigns[0]);
}

TEST_F(PanelFileTest, IndicatorsAndSlidersPrecedeButtonsAndLabelsAndRecreatedViewsGoLast) {
    auto w = ShowWindow(true);
    PanelViews& v = w->Views();
    auto add = [&](int kind, int x) {
        const int slot = v.AllocateSlot(kind);
        v.CreateElementViews(kind, slot, QRect(x, 8, 64, 64));
        return slot;
    };
    add(KindButton, 0);
    const int idg = add(KindDSign, 80);
    add(KindText, 160);
    add(KindTrack, 240);
    add(KindASign, 320);
    ASSERT_TRUE(w->SaveElements());
    EXPECT_EQ(TypeLines(ReadFile()), QStringList({"scr", "idg", "zda", "ian", "btn", "tlb"}));

    // The indicator is taken up and put back: it is written after the others.
    const QRect r = v.Quel_SignD_Image[size_t(idg)]->geometry();
    v.DestroyElementControls(KindDSign, idg);
    v.CreateElementViews(KindDSign, idg, r.translated(0, 100));
    ASSERT_TRUE(w->SaveElements());
    EXPECT_EQ(TypeLines(ReadFile()), QStringList({"scr", "zda", "ian", "idg", "btn", "tlb"}));
    EXPECT_TRUE(ReadFile().contains("x_tp=idg\r\nx_px=80\r\nx_py=108\r\n"));

    // All elements deleted: only the window's block is left.
    for (int k = 0; k < ElementKindCount; ++k)
        v.DestroyElementControls(k, 0);
    ASSERT_TRUE(w->SaveElements());
    EXPECT_EQ(TypeLines(ReadFile()), QStringList({"scr"}));
}

TEST_F(PanelFileTest, MissingFileLeavesDesignedWindowAndCreatesNothing) {
    auto w = ShowWindow(true);
    EXPECT_FALSE(w->LoadElements());
    EXPECT_EQ(w->pos(), QPoint(0, 0));
    EXPECT_EQ(w->size(), QSize(TfmVQuelnet::DesignedClientWidth, TfmVQuelnet::DesignedClientHeight));
    EXPECT_EQ(w->Records.Count(KindButton), 0);
}

TEST_F(PanelFileTest, MaximisedWindowIsReadAndWrittenWithItsNormalPlace) {
    WriteFile(CrLf({"{", "x_tp=scr", "x_px=40", "x_py=30", "x_pw=500", "x_ph=300", "s_ws=2", "}"}));
    auto w = ShowWindow(true);
    // The state follows the place once the window is framed (exposed).
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->isMaximized(); }));
    ASSERT_TRUE(w->SaveElements());
    EXPECT_EQ(ReadFile(),
              CrLf({"{", "x_tp=scr", "x_px=40", "x_py=30", "x_pw=500", "x_ph=300", "s_ws=2", "}"}));
}

// A save that fails half-way (here: the file size limit, as on a full disk)
// leaves the previous panel as it was.
TEST_F(PanelFileTest, FailedSaveLeavesThePreviousFileWhole) {
    WriteFile(WorkedExample());
    auto w = ShowWindow(true);
    for (int i = 0; i < 20; ++i) {
        const int slot = w->Views().AllocateSlot(KindText);
        w->Records.ES_Texts[size_t(slot)].sText = QString(200, QChar(u'x'));
        w->Views().CreateElementViews(KindText, slot, QRect(0, i * 16, 128, 16));
    }
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = w->SaveElements();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(), WorkedExample());
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(QFileInfo(Path()).absolutePath()).entryList(QDir::Files), QStringList({PanelFileName}));
}

TEST_F(PanelFileTest, SaveIntoMissingDirectoryFails) {
    SetPanelFilePathOverride(DirPath("missing/quelnet_scr.cnf"));
    auto w = ShowWindow(true);
    EXPECT_FALSE(w->SaveElements());
}

TEST(PanelFilePath, BesideTheExecutable) {
    SetPanelFilePathOverride(QString());
    EXPECT_EQ(PanelFilePath(), QCoreApplication::applicationDirPath() + "/quelnet_scr.cnf");
}

// ---- the reader against a recording host ----

class RecordingHost : public IPanelFileHost {
public:
    ElementRecords records;
    std::vector<std::vector<bool>> created = std::vector<std::vector<bool>>(ElementKindCount);
    QStringList log;

    ElementRecords& PanelRecords() override { return records; }
    void SetPanelWindowState(int state) override { log << QString("state %1").arg(state); }
    void SetPanelWindowRect(int l, int t, int w, int h) override {
        log << QString("window %1 %2 %3 %4").arg(l).arg(t).arg(w).arg(h);
    }
    int AllocateElementSlot(int kind) override {
        auto& c = created[size_t(kind)];
        c.resize(size_t(records.Count(kind)));
        for (size_t i = 0; i < c.size(); ++i)
            if (!c[i])
                return int(i);
        c.push_back(false);
        return records.Append(kind);
    }
    void CreateElementViews(int kind, int slot, const QRect& r) override {
        created[size_t(kind)][size_t(slot)] = true;
        records.SetEnabled(kind, slot, true);
        log << QString("create %1/%2 %3,%4 %5x%6")
                   .arg(KindFileTags[kind])
                   .arg(slot)
                   .arg(r.x())
                   .arg(r.y())
                   .arg(r.width())
                   .arg(r.height());
    }
};

void Read(RecordingHost& host, const QByteArray& bytes) {
    ReadPanelLines(SplitPanelLines(DecodePanelText(bytes)), host);
}

struct ReaderCase {
    const char* name;
    QByteArray file;
    QStringList log;
};

TEST(PanelFileReader, BlockRules) {
    const ReaderCase cases[] = {
        {"upper-case tag", CrLf({"{", "x_tp=BTN", "x_px=0", "x_py=0", "x_pw=8", "x_ph=8", "}"}), {}},
        {"tag with trailing blank",
         CrLf({"{", "x_tp=btn ", "x_px=0", "x_py=0", "x_pw=8", "x_ph=8", "}"}),
         {}},
        {"'{ ' does not reset; no '{' needed",
         CrLf({"x_tp=tlb", "x_px=1", "x_py=2", "x_pw=3", "x_ph=4", "{ ", "}"}),
         {"create tlb/0 1,2 3x4"}},
        {"'}' with text after it closes",
         CrLf({"{", "x_tp=zda", "x_px=1", "x_py=2", "x_pw=3", "x_ph=4", "}  koniec"}),
         {"create zda/0 1,2 3x4"}},
        {"negative coordinate", CrLf({"{", "x_tp=btn", "x_px=-1", "x_py=2", "x_pw=3", "x_ph=4", "}"}), {}},
        {"coordinates as lenient integers",
         CrLf({"{", "x_tp=ian", "x_px=12px", "x_py=$10", "x_pw= 64", "x_ph=0x40", "}"}),
         {"create ian/0 12,16 64x64"}},
        {"unclosed block", CrLf({"{", "x_tp=btn", "x_px=1", "x_py=2", "x_pw=3", "x_ph=4"}), {}},
        {"scr block with a missing coordinate",
         CrLf({"{", "x_tp=scr", "x_px=5", "x_py=6", "x_pw=7", "s_ws=1", "}"}),
         {"state 1", "window 5 6 7 -1"}},
        {"s_ws outside the scr block", CrLf({"{", "s_ws=2", "x_tp=btn", "s_ws=2", "}"}), {}},
        {"scr and element type in one block",
         CrLf({"{", "x_tp=scr", "x_tp=btn", "x_px=1", "x_py=2", "x_pw=3", "x_ph=4", "}"}),
         {}},
        {"two element types in one block",
         CrLf({"{", "x_tp=btn", "x_tp=idg", "x_px=1", "x_py=2", "x_pw=3", "x_ph=4", "}"}),
         {}},
        // left + width would overflow the 32-bit integers of QRect
        {"element rectangle near the 32-bit limit is clamped",
         CrLf({"{", "x_tp=btn", "x_px=2147483647", "x_py=7", "x_pw=2", "x_ph=2147483647", "}"}),
         {"create btn/0 32767,7 2x32767"}},
        {"window rectangle near the 32-bit limits is clamped",
         CrLf({"{", "x_tp=scr", "x_px=-2147483648", "x_py=2147483647", "x_pw=2147483647", "x_ph=4294967295",
               "}"}),
         {"window -32767 32767 32767 -1"}},
    };
    for (const ReaderCase& c : cases) {
        RecordingHost host;
        Read(host, c.file);
        EXPECT_EQ(host.log, c.log) << c.name;
    }
}

TEST(PanelFileReader, ValuesAreReadLenientlyAndCutToTheirFields) {
    RecordingHost host;
    Read(host, CrLf({"{",           "x_tp=btn",        "x_px=0",    "x_py=0",   "x_pw=64",    "x_ph=24",
                     "p_en=no",     "p_pr=$1F9C",      "p_om=258",  "p_im=abc", "p_fr=-1",    "p_ho=first",
                     "p_ho=second", "idho=other kind", "p_cp=yes",  "}",        "{",          "x_tp=tlb",
                     "x_px=0",      "x_py=0",          "x_pw=1",    "x_ph=1",   "t_fb=Yes",   "t_fi=yes",
                     "t_fu=",       "t_fc=$FF00000F",  "t_fs=12pt", "}",        "{",          "x_tp=idg",
                     "x_px=0",      "x_py=0",          "x_pw=1",    "x_ph=1",   "idpr=65537", "}"}));
    ASSERT_EQ(host.records.ES_Buttons.size(), 1u);
    const TES_Button& b = host.records.ES_Buttons[0];
    EXPECT_TRUE(b.sEnabled); // creating the view enables it whatever the file says
    EXPECT_EQ(b.sPort, 8092);
    EXPECT_EQ(b.sO_Mode, 2);
    EXPECT_EQ(b.sI_Conn, 0);
    EXPECT_EQ(b.sI_Refr, 4294967295u);
    EXPECT_EQ(b.sHost, "second");
    EXPECT_EQ(b.sCaption, "yes");
    const TES_Text& t = host.records.ES_Texts[0];
    EXPECT_FALSE(t.sFontBold);
    EXPECT_TRUE(t.sFontItalic);
    EXPECT_FALSE(t.sFontUnder);
    EXPECT_EQ(t.sFontColor, 0xFF00000Fu);
    EXPECT_EQ(t.sFontSize, 12);
    EXPECT_EQ(host.records.ES_DSigns[0].sPort, 1);
    EXPECT_TRUE(host.records.ES_DSigns[0].sHost.isEmpty());
}

TEST(PanelFileReader, IncompleteBlockLeavesItsSlotFreeWithTheValuesRead) {
    RecordingHost host;
    Read(host, CrLf({"{", "x_tp=btn", "x_px=0", "x_py=0", "x_pw=64", "p_ho=A", "p_cp=Start", "}", "{",
                     "x_tp=btn", "x_px=8", "x_py=8", "x_pw=64", "x_ph=24", "p_ho=B", "}"}));
    EXPECT_EQ(host.log, QStringList({"create btn/0 8,8 64x24"}));
    ASSERT_EQ(host.records.ES_Buttons.size(), 1u);
    EXPECT_EQ(host.records.ES_Buttons[0].sHost, "B");
    EXPECT_EQ(host.records.ES_Buttons[0].sCaption, "Start"); // inherited from the incomplete block
}

TEST(PanelFileReader, BlockWithTwoTypeLinesWritesOnlyRecordsOfItsKinds) {
    RecordingHost host;
    // Two buttons first, so that the digital indicator's slot (0) and the
    // button's slot (2) differ.
    Read(host, CrLf({"x_tp=btn", "x_px=0",           "x_py=0",
                     "x_pw=1",   "x_ph=1",           "}",
                     "x_tp=btn", "x_px=0",           "x_py=0",
                     "x_pw=1",   "x_ph=1",           "}",
                     "{",        "x_tp=btn",         "x_tp=idg",
                     "x_px=0",   "x_py=0",           "x_pw=1",
                     "x_ph=1",   "p_ho=button host", "idho=indicator host",
                     "}"}));
    ASSERT_EQ(host.records.ES_Buttons.size(), 3u);
    ASSERT_EQ(host.records.ES_DSigns.size(), 1u);
    EXPECT_TRUE(host.records.ES_Buttons[0].sHost.isEmpty());
    EXPECT_EQ(host.records.ES_Buttons[2].sHost, "button host");
    EXPECT_EQ(host.records.ES_DSigns[0].sHost, "indicator host");
    EXPECT_EQ(host.log.size(), 2); // the two plain buttons only
}

TEST(PanelFileReader, RealsFollowTheUserLocale) {
    const QByteArray file = CrLf(
        {"{", "x_tp=zda", "x_px=0", "x_py=0", "x_pw=1", "x_ph=1", "zvst=2,5", "zvti=0.5", "zvsp=1E-7", "}"});
    RecordingHost polish;
    Read(polish, file);
    EXPECT_EQ(polish.records.ES_Tracks[0].sStartVal, 2.5f);
    EXPECT_EQ(polish.records.ES_Tracks[0].sStepVal, 0.0f);
    EXPECT_EQ(polish.records.ES_Tracks[0].sStopVal, 1e-7f);

    SetUserLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    RecordingHost english;
    Read(english, file);
    EXPECT_EQ(english.records.ES_Tracks[0].sStartVal, 0.0f);
    EXPECT_EQ(english.records.ES_Tracks[0].sStepVal, 0.5f);
    EXPECT_EQ(FormatPanelReal(2.5), "2.5");
    SetUserLocale(QLocale(QLocale::Polish, QLocale::Poland));
}

// A value outside the range of single precision (and the "INF" a broken
// writer could leave) reads as 0, as any value that does not convert: no
// infinity reaches a record, so none is written again.
TEST(PanelFileReader, RealsBeyondSinglePrecisionReadAsZero) {
    RecordingHost host;
    Read(host, CrLf({"{", "x_tp=ian", "x_px=0", "x_py=0", "x_pw=1", "x_ph=1", "ial1=1E39", "ial2=-1E39",
                     "ial3=INF", "ial4=1E5000", "ial5=3,4E38", "ial6=\t2,5", "ial7=2,5 ", "}"}));
    ASSERT_EQ(host.records.ES_ASigns.size(), 1u);
    const float* lev = host.records.ES_ASigns[0].sI_Lev;
    EXPECT_EQ(lev[0], 0.0f);
    EXPECT_EQ(lev[1], 0.0f);
    EXPECT_EQ(lev[2], 0.0f);
    EXPECT_EQ(lev[3], 0.0f);
    EXPECT_EQ(lev[4], 3.4e38f);
    EXPECT_EQ(lev[5], 0.0f); // a tab is no blank
    EXPECT_EQ(lev[6], 2.5f);
}

TEST(PanelFileReader, ByteOrderMarksAndLineEnds) {
    const QString caption = QString::fromUtf8("Zawór ł");
    const QString body = "{\nx_tp=btn\rx_px=1\r\nx_py=2\n\nx_pw=3\rx_ph=4\r\np_cp=" + caption + "\r\n}";
    QByteArray utf16le("\xFF\xFE"), utf16be("\xFE\xFF");
    for (QChar c : body) {
        utf16le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    const struct {
        const char* name;
        QByteArray bytes;
    } encodings[] = {
        {"Windows-1250", ToAnsi(body)},
        {"UTF-8 with BOM", QByteArray("\xEF\xBB\xBF") + body.toUtf8()},
        {"UTF-16 LE", utf16le},
        {"UTF-16 BE", utf16be},
    };
    for (const auto& e : encodings) {
        RecordingHost host;
        Read(host, e.bytes);
        EXPECT_EQ(host.log, QStringList({"create btn/0 1,2 3x4"})) << e.name;
        ASSERT_EQ(host.records.ES_Buttons.size(), 1u) << e.name;
        EXPECT_EQ(host.records.ES_Buttons[0].sCaption, caption) << e.name;
    }
    // UTF-8 without a byte-order mark is taken for Windows-1250.
    RecordingHost plain;
    Read(plain, body.toUtf8());
    EXPECT_NE(plain.records.ES_Buttons[0].sCaption, caption);

    EXPECT_EQ(SplitPanelLines("a\r\n\r\nb\rc\nd"), QStringList({"a", "", "b", "c", "d"}));
    EXPECT_EQ(SplitPanelLines("a\r\n"), QStringList({"a"}));
    EXPECT_EQ(SplitPanelLines(" a \n"), QStringList({" a "}));
}

TEST(PanelFileWriter, RealsInShortestGeneralFormUnderPolishSettings) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {double(0.1f), "0,100000001490116"},
        {2.5, "2,5"},
        {0, "0"},
        {-0.0, "0"},
        {-1, "-1"},
        {100, "100"},
        {1234.5, "1234,5"},
        {0.00001, "0,00001"},
        {0.000012, "0,000012"},
        {0.0000099, "9,9E-6"},
        {double(1e-7f), "1,0000000116861E-7"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {double(3.4e38f), "3,39999995214436E38"},
        {999999999999999.9, "1E15"},
        {0.99999999999999999, "1"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatPanelReal(c.value), QString::fromLatin1(c.text)) << c.text;
}

TEST(PanelFileWriter, TextValuesStayOnTheirLine) {
    ElementRecords r;
    r.Append(KindText);
    r.ES_Texts[0].sText = "a\r\nx_tp=btn\nb";
    const QByteArray bytes =
        FormatPanelFile({}, {{KindText, 0, QRect(1, 2, 3, 4)}, {KindButton, 5, QRect()}}, r);
    EXPECT_TRUE(bytes.contains("t_tx=a x_tp=btn b\r\n"));
    EXPECT_EQ(TypeLines(bytes), QStringList({"scr", "tlb"})); // the button without a record is left out
}

// A panel of 2,000 elements of every kind, with Polish letters, a character
// the code page lacks, colours and reals: the writer's bytes stay exactly
// those the file has always had (digest of the known-good output).
TEST(PanelFileWriter, LargePanelKeepsItsBytes) {
    ElementRecords r;
    std::vector<PanelElementPlace> elements;
    for (int i = 0; i < 2000; ++i) {
        const int kind = i % 5;
        const int slot = r.Count(kind);
        r.Append(kind);
        const QString text = QString::fromUtf8("Żółć %1 ąę € \u4e2d").arg(i);
        switch (kind) {
        case KindButton:
            r.ES_Buttons[size_t(slot)].sCaption = text;
            r.ES_Buttons[size_t(slot)].sPort = quint16(i);
            break;
        case KindDSign:
            r.ES_DSigns[size_t(slot)].sHost = QStringLiteral("127.0.0.1");
            break;
        case KindASign:
            r.ES_ASigns[size_t(slot)].sI_Lev[i % AnalogLevelCount] = float(i) / 8;
            r.ES_ASigns[size_t(slot)].sI_Img[0] = text;
            break;
        case KindText:
            r.ES_Texts[size_t(slot)].sText = text;
            r.ES_Texts[size_t(slot)].sFontColor = TColor(i * 7919);
            break;
        default:
            r.ES_Tracks[size_t(slot)].sStopVal = float(i) / 3;
            break;
        }
        elements.push_back({kind, slot, QRect(i % 640, i / 4, 48 + kind, 24 + kind)});
    }
    const QByteArray bytes = FormatPanelFile({10, 20, 716, 420, 0}, elements, r);
    EXPECT_EQ(bytes.size(), 345536);
    EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString(),
              "4b674e14fc629ee1d2ce32cc831d2ef2df4ebae58a6d08999055a8aaf19ded1c");
}

} // namespace
