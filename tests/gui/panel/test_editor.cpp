// The panel editor driven the way a user drives it: palette drops, mouse
// presses, moves and double-clicks on the real controls, Ctrl, Shift and
// Delete as key events, the edit timer running for real. The windows are the
// ones start-up creates for "-k"; the panel file lives in a temporary folder.
#include "app/StartUp.h"
#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelFile.h"
#include "core/panel/ElementBlock.h"
#include "core/panel/PanelLimits.h"
#include "gui/common/Platform.h"
#include "gui/panel/ElementClipboard.h"
#include "gui/panel/PanelEditor.h"
#include "gui/panel/PanelWindow.h"
#include "gui/toolbox/PaletteList.h"
#include "gui/toolbox/ParameterSheet.h"
#include "gui/toolbox/PictureDialog.h"
#include "gui/toolbox/SheetCell.h"
#include "gui/toolbox/ToolboxWindow.h"
#include "tests/support/Named.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDeadlineTimer>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

// Readable failure messages for the Qt values compared here.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "(" << p.x() << "," << p.y() << ")";
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << ")";
}

namespace quelnet {
namespace {

struct Box {
    QMessageBox::Icon icon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

bool WaitFor(const std::function<bool()>& condition, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!condition() && !deadline.hasExpired())
        QTest::qWait(10);
    return condition();
}

// Element blocks of a panel file: type tag and rectangle, in file order.
struct Block {
    QString tag;
    QRect rect;
    QStringList lines;
    bool operator==(const Block& o) const { return tag == o.tag && rect == o.rect; }
};

std::ostream& operator<<(std::ostream& os, const Block& b) {
    return os << b.tag.toStdString() << " " << b.rect.x() << "," << b.rect.y() << " " << b.rect.width() << "x"
              << b.rect.height();
}

std::vector<Block> ReadBlocks(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    std::vector<Block> blocks;
    Block cur;
    for (const QString& line : SplitPanelLines(DecodePanelText(f.readAll()))) {
        if (line == "{") {
            cur = Block();
        } else if (line == "}") {
            if (cur.tag != "scr")
                blocks.push_back(cur);
        } else {
            cur.lines << line;
            const QString key = line.left(5), value = line.mid(5);
            if (key == "x_tp=")
                cur.tag = value;
            if (key == "x_px=")
                cur.rect.moveLeft(value.toInt());
            if (key == "x_py=")
                cur.rect.moveTop(value.toInt());
            if (key == "x_pw=")
                cur.rect.setWidth(value.toInt());
            if (key == "x_ph=")
                cur.rect.setHeight(value.toInt());
        }
    }
    return blocks;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QString::fromLatin1(PanelFileName));
        SetPanelFilePathOverride(m_path);
        Platform().Beep = [this] { ++beeps; };
        Platform().MessageBox = [this](QWidget*, QMessageBox::Icon icon, const QString& title,
                                       const QString& text, QMessageBox::StandardButtons buttons) {
            boxes.push_back({icon, title, text, buttons});
            return answer;
        };
        m_windows.emplace(CreateModeWindows({"quelnet", "-k"}));
        panel = m_windows->panel;
        tool = m_windows->tool;
        ASSERT_TRUE(panel && tool);
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
        panel->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
        // No real drag loop runs here, so the events carry no source: the
        // editor is told the drag comes from the palette (or a test's stranger).
        dragSource = Named<PaletteList>(*tool, "ListView1");
        Editor().DragSource = [this](const QDropEvent&) -> const QObject* { return dragSource; };
    }

    void TearDown() override {
        SetShift(false);
        Ctrl(false);
        m_windows.reset();
        SetPanelFilePathOverride(QString());
        RestoreDefaultPlatform();
    }

    PanelEditor& Editor() { return panel->Editor(); }
    PanelViews& Views() { return panel->Views(); }

    // One press or release of a modifier key at `to` (the panel by default),
    // leaving the keyboard state as a real keyboard does: the pressed
    // modifier held from its own press on, as the editor reads it when handling.
    void ModifierKey(Qt::Key key, bool down, QWidget* to = nullptr, bool repeat = false) {
        const Qt::KeyboardModifier mod = key == Qt::Key_Shift ? Qt::ShiftModifier : Qt::ControlModifier;
        const Qt::KeyboardModifiers now = QGuiApplication::queryKeyboardModifiers();
        QTest::simulateEvent(to ? to : panel.data(), down, key, down ? now | mod : now & ~mod, QString(),
                             repeat);
    }
    void SetShift(bool down) {
        if (panel)
            ModifierKey(Qt::Key_Shift, down);
    }
    void Ctrl(bool down, QWidget* to = nullptr) { ModifierKey(Qt::Key_Control, down, to); }

    // A palette drag of `kind` entering the panel and dropped at `pos`; true
    // when the panel took the drop.
    bool Drop(int kind, QPoint pos) {
        tool->ObjectType = kind; // recorded by the palette when the drag starts
        QMimeData mime;
        mime.setData(QString::fromLatin1(PaletteMimeType), QByteArray::number(kind));
        QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &enter);
        QDragMoveEvent move(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
        if (!move.isAccepted())
            return false;
        QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &drop);
        return drop.isAccepted();
    }

    // Drop and click at the drop point: the element is placed where it was dropped.
    QWidget* Place(int kind, QPoint pos) {
        if (!Drop(kind, pos) || !Editor().NewShape)
            return nullptr;
        int slot = 0; // the lowest free slot, which the click will take
        while (slot < panel->Records.Count(kind) && !Views().IsSlotFree(kind, slot))
            ++slot;
        QTest::mouseClick(Editor().NewShape, Qt::LeftButton, {}, QPoint(1, 1));
        return Views().PrincipalControl(kind, slot);
    }

    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

    // A real double-click: press, release (a click), second press (the
    // double-click), release.
    void DoubleClick(QWidget* w) {
        const QPoint at = w->rect().center();
        QPointer<QWidget> target = w;
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
        QTest::mouseDClick(w, Qt::LeftButton, {}, at);
        QTest::mouseRelease(target ? target.data() : panel.data(), Qt::LeftButton, {}, at);
    }

    // Pointer moved to a window point; the move is reported by whatever lies
    // there (the window, a frame, or an element, which keeps it).
    void MoveTo(QPoint pos) {
        QTest::mouseMove(panel, pos);
        QCoreApplication::processEvents();
    }

    QPoint PointerInPanel() const { return panel->mapFromGlobal(QCursor::pos()); }

    QString Caption(const QString& tail = QString()) const { return Pl(lt::EditCaption) + tail; }

    std::vector<Block> SavedBlocks() const { return ReadBlocks(m_path); }

    QPointer<TfmVQuelnet> panel;
    QPointer<TfmQuelnetTool> tool;
    const QObject* dragSource = nullptr;
    int beeps = 0;
    std::vector<Box> boxes;
    QMessageBox::StandardButton answer = QMessageBox::Ok; // the button the user presses

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::optional<ModeWindows> m_windows;
};

// ---- dropping and placing ----

TEST_F(EditorTest, DropPlacesFrameOfKindSizeSnappedUnlessShiftIsHeld) {
    struct Case {
        int kind;
        bool shift;
        QRect frame;
    } cases[] = {
        {KindButton, false, QRect(32, 48, 64, 24)}, {KindButton, true, QRect(37, 53, 64, 24)},
        {KindDSign, false, QRect(32, 48, 64, 64)},  {KindASign, false, QRect(32, 48, 64, 64)},
        {KindText, false, QRect(32, 48, 128, 16)},  {KindTrack, true, QRect(37, 53, 64, 64)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << (c.shift ? " with Shift" : ""));
        SetShift(c.shift);
        ASSERT_TRUE(Drop(c.kind, QPoint(37, 53)));
        SetShift(false);
        ASSERT_TRUE(Editor().NewShape);
        EXPECT_EQ(Editor().NewShape->geometry(), c.frame);
        EXPECT_EQ(Editor().NewShape->PenColor(), EditorFrame::PlacingColor());
        EXPECT_EQ(Editor().NewShape->cursor().shape(), Qt::SizeAllCursor);
        EXPECT_EQ(panel->cursor().shape(), Qt::SizeAllCursor);
        EXPECT_EQ(Editor().EditType, c.kind);
        EXPECT_TRUE(Editor().NewShape->objectName().isEmpty()); // no element prefix: never saved
        QTest::keyClick(panel, Qt::Key_Delete);                 // placement cancelled
        EXPECT_FALSE(Editor().NewShape);
        EXPECT_EQ(panel->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(Views().Quel_Button_Panel.size() + Views().Quel_Text.size() +
                      Views().Quel_SignD_Image.size(),
                  0u);
    }
}

TEST_F(EditorTest, ClickPlacesElementInLowestFreeSlotWithFrameRectangle) {
    ASSERT_TRUE(Place(KindButton, QPoint(16, 16)));
    ASSERT_TRUE(Place(KindButton, QPoint(16, 64)));
    ASSERT_TRUE(Drop(KindButton, QPoint(200, 100)));
    // The click lands on the window background, away from the frame.
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(600, 300));
    EXPECT_FALSE(Editor().NewShape);
    EXPECT_FALSE(Editor().MoveControl);
    EXPECT_EQ(panel->cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(Views().Quel_Button_Panel.size(), 3u);
    ElementPanel* third = Views().Quel_Button_Panel[2];
    ASSERT_TRUE(third);
    EXPECT_EQ(third->objectName(), "PP_2");
    EXPECT_EQ(third->geometry(), QRect(200, 96, 64, 24));
    EXPECT_TRUE(third->isVisible());
    EXPECT_TRUE(panel->Records.ES_Buttons[2].sEnabled);

    // Each kind counts its own slots; an indicator gets its hatched rectangle too.
    QWidget* indicator = Place(KindDSign, QPoint(300, 200));
    ASSERT_TRUE(indicator);
    EXPECT_EQ(indicator->objectName(), "ID_0");
    ASSERT_TRUE(Views().Quel_SignD_Shape[0]);
    EXPECT_EQ(Views().Quel_SignD_Shape[0]->geometry(), QRect(296, 200, 64, 64));
}

TEST_F(EditorTest, MouseMovesCarryThePlacingFrameAndShowItsPositionInTheCaption) {
    ASSERT_TRUE(Drop(KindText, QPoint(40, 40)));
    MoveTo(QPoint(203, 117)); // over the window background
    ASSERT_TRUE(Editor().NewShape);
    EXPECT_EQ(Editor().NewShape->pos(), QPoint(200, 112));
    EXPECT_EQ(panel->windowTitle(), Caption(" ( X=200  Y=112 )"));
    MoveTo(QPoint(213, 122)); // over the frame itself: frame point plus the frame's corner
    EXPECT_EQ(Editor().NewShape->pos(), QPoint(208, 120));
    EXPECT_EQ(panel->windowTitle(), Caption(" ( X=208  Y=120 )"));
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(600, 300));
    ASSERT_TRUE(Views().PrincipalControl(KindText, 0));
    EXPECT_EQ(PanelViews::ElementRect(Views().PrincipalControl(KindText, 0)), QRect(208, 120, 128, 16));
    MoveTo(QPoint(500, 300)); // no frame: the plain edit caption
    EXPECT_EQ(panel->windowTitle(), Caption());
}

TEST_F(EditorTest, DropRefusedOverElementsWhileAnyFrameExistsAndFromOtherSources) {
    QWidget* button = Place(KindButton, QPoint(32, 48));
    ASSERT_TRUE(button);
    EXPECT_FALSE(Drop(KindDSign, QPoint(40, 56))); // over the button
    EXPECT_FALSE(Editor().NewShape);

    QLineEdit stranger;
    dragSource = &stranger; // some other widget's drag
    EXPECT_FALSE(Drop(KindDSign, QPoint(300, 200)));
    dragSource = nullptr; // a drag from another program
    EXPECT_FALSE(Drop(KindDSign, QPoint(300, 200)));
    dragSource = Named<PaletteList>(*tool, "ListView1");

    ASSERT_TRUE(Drop(KindDSign, QPoint(300, 200)));
    EXPECT_FALSE(Drop(KindText, QPoint(400, 300))); // while placing
    QTest::keyClick(panel, Qt::Key_Delete);

    Click(button);
    ASSERT_TRUE(WaitFor([&] { return bool(Editor().EditShape); }));
    EXPECT_FALSE(Drop(KindDSign, QPoint(300, 200))); // while editing
    EXPECT_FALSE(Editor().NewShape);
}

// The panel file is refused beyond the element limit, so the editor takes
// no element beyond it (all kinds together).
TEST_F(EditorTest, PaletteDragRefusedAtTheElementLimit) {
    for (int i = 0; i < MaxPanelElements - 1; ++i)
        ASSERT_TRUE(
            Views().CreateElementViews(KindText, Views().AllocateSlot(KindText), QRect(600, 8, 16, 16)));
    ASSERT_TRUE(Place(KindButton, QPoint(32, 48))); // the last one
    EXPECT_FALSE(Drop(KindButton, QPoint(200, 48)));
    EXPECT_FALSE(Editor().NewShape);
}

// Only the point of the drop decides: a palette drag that enters the panel
// over an element is taken as soon as the pointer is over free background.
TEST_F(EditorTest, DragEnteringOverAnElementDropsOnFreeBackground) {
    ASSERT_TRUE(Place(KindButton, QPoint(32, 48)));
    tool->ObjectType = KindDSign;
    QMimeData mime;
    mime.setData(QString::fromLatin1(PaletteMimeType), QByteArray::number(KindDSign));
    QDragLeaveEvent noDragYet;
    QApplication::sendEvent(panel, &noDragYet);
    auto moveTo = [&](QPoint pos) {
        QDragMoveEvent move(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
        return move.isAccepted();
    };
    auto dropAt = [&](QPoint pos) {
        QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &drop);
        return drop.isAccepted();
    };

    const QPoint overButton(40, 56);
    QDragEnterEvent enter(overButton, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &enter);
    EXPECT_FALSE(moveTo(overButton));
    EXPECT_TRUE(moveTo(QPoint(300, 200)));
    EXPECT_FALSE(moveTo(overButton)); // back over the button
    EXPECT_TRUE(moveTo(QPoint(301, 203)));
    EXPECT_TRUE(dropAt(QPoint(301, 203)));
    ASSERT_TRUE(Editor().NewShape);
    EXPECT_EQ(Editor().NewShape->geometry(), QRect(296, 200, 64, 64));
    QTest::keyClick(panel, Qt::Key_Delete);

    // Entering beside the button and released over it: no drop.
    QDragEnterEvent beside(QPoint(300, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &beside);
    EXPECT_TRUE(moveTo(QPoint(300, 200)));
    EXPECT_FALSE(moveTo(overButton));
    EXPECT_FALSE(dropAt(overButton));
    EXPECT_FALSE(Editor().NewShape);
}

TEST_F(EditorTest, DropWithoutSelectedPaletteItemGivesFrameThatNeverBecomesElement) {
    ASSERT_TRUE(Drop(-1, QPoint(100, 100)));
    ASSERT_TRUE(Editor().NewShape);
    EXPECT_EQ(Editor().NewShape->size(), QSize(64, 64));
    QTest::mouseClick(Editor().NewShape, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(Editor().NewShape);
    for (int kind = 0; kind < ElementKindCount; ++kind)
        EXPECT_EQ(panel->Records.Count(kind), 0);
    QTest::keyClick(panel, Qt::Key_Delete);
    EXPECT_FALSE(Editor().NewShape);
}

// ---- Ctrl resize ----

TEST_F(EditorTest, CtrlWarpsPointerToCornerAndResizesWithSixteenPixelMinimum) {
    ASSERT_TRUE(Drop(KindButton, QPoint(37, 53)));
    EditorFrame* frame = Editor().NewShape;
    ASSERT_TRUE(frame);
    Ctrl(true);
    EXPECT_TRUE(Editor().MoveControl);
    EXPECT_EQ(PointerInPanel(), QPoint(96, 72)); // bottom-right corner of 32,48 64x24
    EXPECT_EQ(frame->cursor().shape(), Qt::SizeFDiagCursor);
    EXPECT_EQ(panel->cursor().shape(), Qt::SizeFDiagCursor);

    MoveTo(QPoint(42, 58)); // 10 pixels from the top-left corner, over the frame
    EXPECT_EQ(panel->windowTitle(), Caption(" ( W=8  H=8 )"));
    EXPECT_EQ(frame->geometry(), QRect(32, 48, 16, 16));

    MoveTo(QPoint(133, 91)); // over the window: corner minus the frame's position
    EXPECT_EQ(panel->windowTitle(), Caption(" ( W=96  H=40 )"));
    EXPECT_EQ(frame->geometry(), QRect(32, 48, 96, 40));

    // Auto-repeat: a further press does not move the pointer again.
    ModifierKey(Qt::Key_Control, true, nullptr, true);
    EXPECT_EQ(PointerInPanel(), QPoint(133, 91));

    Ctrl(false);
    EXPECT_FALSE(Editor().MoveControl);
    EXPECT_EQ(PointerInPanel(), QPoint(32, 48)); // back to the top-left corner
    EXPECT_EQ(frame->cursor().shape(), Qt::SizeAllCursor);
    EXPECT_EQ(panel->cursor().shape(), Qt::SizeAllCursor);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->geometry(), QRect(32, 48, 96, 40)); // the warp itself moves nothing

    QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(0, 0));
    ASSERT_TRUE(Views().Quel_Button_Panel[0]);
    EXPECT_EQ(Views().Quel_Button_Panel[0]->geometry(), QRect(32, 48, 96, 40));
}

TEST_F(EditorTest, KeysReachTheEditorWhateverPanelControlHasFocusButNotFromTheToolbox) {
    auto* field = new QLineEdit(panel);
    field->setGeometry(600, 340, 80, 20);
    field->show();
    ASSERT_TRUE(Drop(KindButton, QPoint(100, 100)));
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    Ctrl(true, field);
    EXPECT_TRUE(Editor().MoveControl);
    Ctrl(false, field);
    EXPECT_FALSE(Editor().MoveControl);

    // Delete typed in the toolbox (the parameter sheet) is the toolbox's own.
    tool->show();
    QTest::keyClick(tool, Qt::Key_Delete);
    EXPECT_TRUE(Editor().NewShape);
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    field->setFocus();

    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_FALSE(Editor().NewShape);
}

// ---- moving and deleting ----

TEST_F(EditorTest, DoubleClickPicksElementUpAndClickPutsItBackInItsSlot) {
    ASSERT_TRUE(Place(KindButton, QPoint(16, 16)));
    QWidget* second = Place(KindButton, QPoint(16, 64));
    ASSERT_TRUE(Place(KindButton, QPoint(16, 112)));
    ASSERT_TRUE(second);
    tool->hide();

    DoubleClick(second);
    ASSERT_TRUE(Editor().MoveShape);
    EXPECT_EQ(Editor().MoveShape->geometry(), QRect(16, 64, 64, 24));
    EXPECT_EQ(Editor().MoveShape->Tag(), 1);
    EXPECT_EQ(Editor().MoveShape->PenColor(), EditorFrame::MovingColor());
    EXPECT_FALSE(Views().Quel_Button_Panel[1]);
    EXPECT_FALSE(panel->Records.ES_Buttons[1].sEnabled);
    EXPECT_EQ(PointerInPanel(), QPoint(16, 64));
    EXPECT_TRUE(tool->isVisible());
    EXPECT_EQ(Named<QTabWidget>(*tool, "PageControl1")->currentIndex(), 0);
    EXPECT_EQ(panel->cursor().shape(), Qt::SizeAllCursor);

    MoveTo(QPoint(301, 205));
    EXPECT_EQ(Editor().MoveShape->pos(), QPoint(296, 200));
    QTest::mouseClick(Editor().MoveShape, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(Editor().MoveShape);
    ASSERT_TRUE(Views().Quel_Button_Panel[1]);
    EXPECT_EQ(Views().Quel_Button_Panel[1]->objectName(), "PP_1");
    EXPECT_EQ(Views().Quel_Button_Panel[1]->geometry(), QRect(296, 200, 64, 24));
    EXPECT_TRUE(panel->Records.ES_Buttons[1].sEnabled);
    EXPECT_EQ(panel->Records.Count(KindButton), 3);

    // The click of the double-click never opens the element for editing.
    QTest::qWait(600);
    EXPECT_FALSE(Editor().EditShape);
}

TEST_F(EditorTest, FrameOverItselfKeepsElementsOffGridUntilReportedByWindow) {
    SetShift(true);
    QWidget* indicator = Place(KindASign, QPoint(13, 13));
    SetShift(false);
    ASSERT_TRUE(indicator);
    ASSERT_EQ(indicator->pos(), QPoint(13, 13));
    DoubleClick(indicator);
    ASSERT_TRUE(Editor().MoveShape);
    MoveTo(QPoint(13 + 9, 13 + 9)); // 9,9 inside the frame: snapped to 8,8 plus the frame's corner
    EXPECT_EQ(Editor().MoveShape->pos(), QPoint(21, 21));
    MoveTo(QPoint(21 + 20, 21 + 3));
    EXPECT_EQ(Editor().MoveShape->pos(), QPoint(37, 21));
    MoveTo(QPoint(20, 200)); // left of the frame: the window reports, on the grid
    EXPECT_EQ(Editor().MoveShape->pos(), QPoint(16, 200));
}

TEST_F(EditorTest, MovesOverOtherElementsDoNotMoveTheFrame) {
    QWidget* text = Place(KindText, QPoint(200, 200));
    ASSERT_TRUE(text);
    ASSERT_TRUE(Drop(KindButton, QPoint(40, 40)));
    MoveTo(QPoint(210, 205)); // over the label
    EXPECT_EQ(Editor().NewShape->pos(), QPoint(40, 40));
}

TEST_F(EditorTest, DeleteWhileMovingDeletesElementAndNextOfKindInheritsItsRecord) {
    ASSERT_TRUE(Place(KindButton, QPoint(16, 16)));
    ASSERT_TRUE(Place(KindButton, QPoint(16, 64)));
    TES_Button& first = panel->Records.ES_Buttons[0];
    first.sHost = "127.0.0.1";
    first.sPort = 7080;
    first.sCaption = "Pompa";
    DoubleClick(Views().Quel_Button_Panel[0]);
    ASSERT_TRUE(Editor().MoveShape);
    QTest::keyClick(panel, Qt::Key_Delete);
    EXPECT_FALSE(Editor().MoveShape);
    EXPECT_FALSE(Views().Quel_Button_Panel[0]);
    EXPECT_FALSE(panel->Records.ES_Buttons[0].sEnabled);
    EXPECT_EQ(panel->cursor().shape(), Qt::ArrowCursor);

    ASSERT_TRUE(panel->SaveElements());
    EXPECT_EQ(SavedBlocks(), (std::vector<Block>{{"btn", QRect(16, 64, 64, 24), {}}}));

    ElementPanel* next = qobject_cast<ElementPanel*>(Place(KindButton, QPoint(300, 300)));
    ASSERT_TRUE(next);
    EXPECT_EQ(next->objectName(), "PP_0");
    EXPECT_EQ(next->Caption(), "Pompa  ");
    EXPECT_EQ(panel->Records.ES_Buttons[0].sHost, "127.0.0.1");
    EXPECT_EQ(panel->Records.ES_Buttons[0].sPort, 7080);
    EXPECT_TRUE(panel->Records.ES_Buttons[0].sEnabled);
}

// ---- editing ----

class EditKindTest : public EditorTest, public ::testing::WithParamInterface<int> {};

TEST_P(EditKindTest, ClickOpensElementAfterDelayAndWindowClickShowsItAnew) {
    const int kind = GetParam();
    ASSERT_TRUE(Place(kind, QPoint(64, 64)));
    QWidget* element = Place(kind, QPoint(200, 64));
    QWidget* other = Views().PrincipalControl(kind, 0);
    ASSERT_TRUE(element && other);
    const QRect rect = PanelViews::ElementRect(element);
    tool->hide();

    Click(element);
    EXPECT_FALSE(Editor().EditShape); // not before the edit timer
    EXPECT_TRUE(Views().PrincipalControl(kind, 1));
    ASSERT_TRUE(WaitFor([&] { return bool(Editor().EditShape); }));
    EditorFrame* frame = Editor().EditShape;
    EXPECT_EQ(frame->geometry(), rect);
    EXPECT_EQ(frame->Tag(), 1);
    EXPECT_EQ(frame->PenColor(), EditorFrame::EditingColor());
    EXPECT_FALSE(Views().PrincipalControl(kind, 1));
    if (kind == KindDSign) {
        EXPECT_FALSE(Views().Quel_SignD_Shape[1]);
    }
    if (kind == KindASign) {
        EXPECT_FALSE(Views().Quel_SignA_Shape[1]);
    }
    if (kind == KindTrack) {
        EXPECT_FALSE(Views().Quel_Slider_Shape[1]);
    }
    EXPECT_TRUE(panel->Records.Enabled(kind, 1)); // opening does not disable
    EXPECT_TRUE(tool->isVisible());
    EXPECT_EQ(Named<QTabWidget>(*tool, "PageControl1")->currentIndex(), 1);
    EXPECT_EQ(Named<ParameterSheet>(*tool, "ParameterSheet")->EditType(), kind);
    EXPECT_EQ(Named<ParameterSheet>(*tool, "ParameterSheet")->EditIdx(), 1);

    // Other elements and moves are left alone while editing.
    Click(other);
    EXPECT_FALSE(Named<QTimer>(*panel, "Timer1")->isActive());
    DoubleClick(other);
    EXPECT_FALSE(Editor().MoveShape);
    MoveTo(rect.topLeft() + QPoint(5, 5));
    EXPECT_EQ(frame->geometry(), rect);

    if (kind == KindButton)
        panel->Records.ES_Buttons[1].sCaption = "Start";
    if (kind == KindText)
        panel->Records.ES_Texts[1].sText = "Temperatura";
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(600, 300));
    EXPECT_FALSE(Editor().EditShape);
    QWidget* shown = Views().PrincipalControl(kind, 1);
    ASSERT_TRUE(shown);
    EXPECT_EQ(PanelViews::ElementRect(shown), rect);
    if (kind == KindButton) {
        EXPECT_EQ(static_cast<ElementPanel*>(shown)->Caption(), "Start  ");
    }
    if (kind == KindText) {
        EXPECT_EQ(static_cast<QLabel*>(shown)->text(), "Temperatura");
    }
    EXPECT_EQ(Named<ParameterSheet>(*tool, "ParameterSheet")->EditType(), KindNone);
    EXPECT_EQ(Named<QTabWidget>(*tool, "PageControl1")->currentIndex(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, EditKindTest, ::testing::Values(0, 1, 2, 3, 4));

TEST_F(EditorTest, ClickOnTheEditFrameEndsTheEditToo) {
    QWidget* button = Place(KindButton, QPoint(64, 64));
    ASSERT_TRUE(button);
    Click(button);
    ASSERT_TRUE(WaitFor([&] { return bool(Editor().EditShape); }));
    QTest::mouseClick(Editor().EditShape, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_FALSE(Editor().EditShape);
    EXPECT_TRUE(Views().Quel_Button_Panel[0]);
}

TEST_F(EditorTest, DoubleClickOnBackgroundShowsToolbox) {
    tool->hide();
    QTest::mouseDClick(panel, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_TRUE(tool->isVisible());
}

// ---- closing ----

// A picker still open when the edit ends (the user ticked the italic box or
// chose a colour, then clicked the panel) gives its value to the record before
// the label is made anew from the record.
TEST_F(EditorTest, OpenPickerCountsWhenTheEditEnds) {
    ASSERT_TRUE(Place(KindText, QPoint(64, 64)));
    auto* sheet = Named<ParameterSheet>(*tool, "ParameterSheet");
    auto openLabel = [&] {
        Click(Views().Quel_Text[0]);
        return WaitFor([&] { return bool(Editor().EditShape); });
    };

    ASSERT_TRUE(openLabel());
    QTest::mouseClick(sheet->Cell(6)->PickButton(), Qt::LeftButton); // italic
    ASSERT_TRUE(sheet->CheckBox());
    sheet->CheckBox()->click();
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(600, 300));
    ASSERT_FALSE(Editor().EditShape);
    EXPECT_TRUE(panel->Records.ES_Texts[0].sFontItalic);
    ASSERT_TRUE(Views().Quel_Text[0]);
    EXPECT_TRUE(Views().Quel_Text[0]->font().italic());

    ASSERT_TRUE(openLabel());
    QTest::mouseClick(sheet->Cell(4)->PickButton(), Qt::LeftButton); // colour
    QComboBox* box = sheet->ColorBox();
    ASSERT_TRUE(box);
    box->setCurrentIndex(box->findText("Czerwony"));
    QTest::mouseClick(Editor().EditShape, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_FALSE(Editor().EditShape);
    EXPECT_EQ(panel->Records.ES_Texts[0].sFontColor, 0x000000FFu);
    ASSERT_TRUE(Views().Quel_Text[0]);
    EXPECT_EQ(Views().Quel_Text[0]->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    EXPECT_TRUE(panel->close());
    const std::vector<Block> saved = SavedBlocks();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_TRUE(saved[0].lines.contains("t_fi=yes"));
    EXPECT_TRUE(saved[0].lines.contains("t_fc=$000000FF"));
}

TEST_F(EditorTest, CloseRefusedWhileAnyFrameExists) {
    QWidget* button = Place(KindButton, QPoint(64, 64));
    ASSERT_TRUE(button);
    ASSERT_TRUE(Drop(KindText, QPoint(300, 300)));
    EXPECT_FALSE(panel->close());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(beeps, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes[0].title, "Ostrzeżenie");
    EXPECT_EQ(boxes[0].text, "Proszę zakończyć edycję elementu przed zamknięciem edytora.");
    EXPECT_EQ(boxes[0].buttons, QMessageBox::Ok);
    EXPECT_TRUE(Editor().NewShape); // nothing lost
    QTest::keyClick(panel, Qt::Key_Delete);

    DoubleClick(button);
    EXPECT_FALSE(panel->close());
    QTest::mouseClick(Editor().MoveShape, Qt::LeftButton, {}, QPoint(1, 1));

    Click(Views().Quel_Button_Panel[0]);
    ASSERT_TRUE(WaitFor([&] { return bool(Editor().EditShape); }));
    EXPECT_FALSE(panel->close());
    EXPECT_EQ(beeps, 3);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(600, 300));

    EXPECT_TRUE(panel->close());
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(SavedBlocks(), (std::vector<Block>{{"btn", QRect(64, 64, 64, 24), {}}}));
}

// A panel that cannot be saved is not closed in silence: the user is told why
// and closes anyway (Yes) or goes back to the editor (No).
TEST_F(EditorTest, ClosingAsksWhenThePanelCannotBeSaved) {
    ASSERT_TRUE(Place(KindButton, QPoint(64, 64)));
    // A folder that is a file: no user, root included, can save there.
    QTemporaryDir dir;
    QFile notAFolder(dir.filePath("plik"));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    const QString path = notAFolder.fileName() + "/quelnet_scr.cnf";
    SetPanelFilePathOverride(path);

    answer = QMessageBox::No;
    EXPECT_FALSE(panel->close());
    EXPECT_TRUE(panel->isVisible());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes[0].title, "Ostrzeżenie");
    EXPECT_EQ(boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
    const QStringList lines = boxes[0].text.split('\n');
    ASSERT_EQ(lines.size(), 5) << boxes[0].text.toStdString();
    EXPECT_EQ(lines[0], Pl(lt::PanelNotSaved));
    EXPECT_EQ(lines[0], "Nie mogę zapisać panelu do pliku:");
    EXPECT_EQ(lines[1], QDir::toNativeSeparators(path));
    EXPECT_FALSE(lines[2].isEmpty()); // why, in the system's words
    EXPECT_EQ(lines[4], "Czy zamknąć edytor bez zapisania zmian ?");
    EXPECT_TRUE(Views().Quel_Button_Panel[0]); // nothing lost

    answer = QMessageBox::Yes;
    EXPECT_TRUE(panel->close());
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(EditorTest, ClickJustBeforeClosingOpensNothingAfterwards) {
    QWidget* button = Place(KindButton, QPoint(64, 64));
    ASSERT_TRUE(button);
    tool->hide();
    Click(button);
    EXPECT_TRUE(panel->close());
    QTest::qWait(500);
    EXPECT_FALSE(Editor().EditShape);
    EXPECT_FALSE(tool->isVisible());
}

TEST_F(EditorTest, PanelFileWrittenOnCloseHoldsWhatTheGesturesBuilt) {
    ASSERT_TRUE(Place(KindButton, QPoint(16, 16)));
    ASSERT_TRUE(Place(KindDSign, QPoint(100, 16)));
    ASSERT_TRUE(Place(KindText, QPoint(16, 120)));
    ASSERT_TRUE(Place(KindTrack, QPoint(300, 16))); // at 296, 16
    ASSERT_TRUE(Place(KindASign, QPoint(200, 16)));

    // The indicator goes elsewhere, the slider grows, the text label goes away.
    DoubleClick(Views().Quel_SignD_Image[0]);
    MoveTo(QPoint(400, 200));
    QTest::mouseClick(Editor().MoveShape, Qt::LeftButton, {}, QPoint(1, 1));
    DoubleClick(Views().Quel_Slider_Image[0]);
    Ctrl(true);
    MoveTo(QPoint(345, 147)); // 344 - 296 by 144 - 16
    Ctrl(false);
    QTest::mouseClick(Editor().MoveShape, Qt::LeftButton, {}, QPoint(1, 1));
    DoubleClick(Views().Quel_Text[0]);
    QTest::keyClick(panel, Qt::Key_Delete);
    // The button is edited: its caption changes through the record.
    Click(Views().Quel_Button_Panel[0]);
    ASSERT_TRUE(WaitFor([&] { return bool(Editor().EditShape); }));
    panel->Records.ES_Buttons[0].sCaption = "Zawór";
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(600, 300));

    ASSERT_TRUE(panel->close());
    const std::vector<Block> blocks = SavedBlocks();
    // Pictures are written before panels; re-created views go to the end of their group.
    const std::vector<Block> expected = {
        {"ian", QRect(200, 16, 64, 64), {}},
        {"idg", QRect(400, 200, 64, 64), {}},
        {"zda", QRect(296, 16, 48, 128), {}},
        {"btn", QRect(16, 16, 64, 24), {}},
    };
    EXPECT_EQ(blocks, expected);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_TRUE(blocks[3].lines.contains("p_cp=Zawór"));
    EXPECT_TRUE(blocks[3].lines.contains("p_en=yes"));
}

// ---- undo, redo, copy and paste ----

class UndoTest : public EditorTest {
public:
    // The table's actions below drive the panel through these.
    using EditorTest::Click;
    using EditorTest::Ctrl;
    using EditorTest::DoubleClick;
    using EditorTest::Editor;
    using EditorTest::MoveTo;
    using EditorTest::panel;
    using EditorTest::Place;
    using EditorTest::Views;

    void TearDown() override {
        RestoreDefaultPictureDialog();
        EditorTest::TearDown();
    }

    ParameterSheet* Sheet() const { return Named<ParameterSheet>(*tool, "ParameterSheet"); }
    QUndoStack& Steps() { return Editor().History().Stack(); }

    // Two buttons, one element of every other kind, records set apart.
    void BuildPanel() {
        ASSERT_TRUE(Place(KindButton, QPoint(16, 16)));
        ASSERT_TRUE(Place(KindButton, QPoint(16, 64)));
        ASSERT_TRUE(Place(KindDSign, QPoint(100, 16)));
        ASSERT_TRUE(Place(KindASign, QPoint(200, 16)));
        ASSERT_TRUE(Place(KindText, QPoint(16, 120)));
        ASSERT_TRUE(Place(KindTrack, QPoint(300, 16)));
        TES_Button& b = panel->Records.ES_Buttons[0];
        b.sHost = "127.0.0.1";
        b.sPort = 7080;
        b.sO_DCir = "OUT1";
        b.sI_ImgL = "/obrazki/wył.png";
        b.sCaption = "Pompa";
        panel->Records.ES_DSigns[0].sI_DCir = "IN1";
        panel->Records.ES_ASigns[0].sI_Lev[0] = 2.5f;
        panel->Records.ES_Texts[0].sText = "Temperatura";
        TES_Track& z = panel->Records.ES_Tracks[0];
        z.sSteps = 10;
        z.sStepVal = 1;
        z.sStopVal = 10;
    }

    // The panel file the editor would write now.
    QByteArray File() {
        EXPECT_TRUE(panel->SaveElements());
        QFile f(PanelFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    bool Open(QWidget* element) {
        if (!element)
            return false;
        Click(element);
        return WaitFor([&] { return bool(Editor().EditShape); });
    }
    void EndEdit() { QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(600, 340)); }
    // Types a value into a row as the user does and finishes it with Return.
    void Type(int row, const QString& text) {
        QLineEdit* edit = Sheet()->Cell(row)->LineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // Opens the element, types a row's value, ends the edit.
    void Edit(QWidget* element, int row, const QString& text) {
        ASSERT_TRUE(Open(element));
        Type(row, text);
        EndEdit();
    }
    void Pick(int row) { QTest::mouseClick(Sheet()->Cell(row)->PickButton(), Qt::LeftButton); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::ControlModifier, QWidget* to = nullptr) {
        QTest::keyClick(to ? to : panel.data(), key, mods);
    }
    void PointerAt(QPoint pos) { QCursor::setPos(panel->mapToGlobal(pos)); }
    void Copy(QWidget* element) {
        ASSERT_TRUE(Open(element));
        Key(Qt::Key_C);
        EndEdit();
    }
    void PasteAt(QPoint pos) {
        PointerAt(pos);
        Key(Qt::Key_V);
        ASSERT_TRUE(Editor().NewShape);
        QTest::mouseClick(Editor().NewShape, Qt::LeftButton, {}, QPoint(1, 1));
    }
};

// One change of each kind the editor knows: `act` makes exactly one step.
struct UndoCase {
    const char* name;
    std::function<void(UndoTest&)> prepare; // before the panel is taken as "before"
    std::function<void(UndoTest&)> act;
};

class UndoEveryChange : public UndoTest, public ::testing::WithParamInterface<const char*> {
public:
    static const std::vector<UndoCase>& Cases();
};

const std::vector<UndoCase>& UndoEveryChange::Cases() {
    using T = UndoTest;
    auto none = [](T&) {};
    static const std::vector<UndoCase> cases = {
        {"Place", none, [](T& t) { ASSERT_TRUE(t.Place(KindDSign, QPoint(520, 40))); }},
        {"PlaceInFreedSlot",
         [](T& t) {
             t.DoubleClick(t.Views().Quel_Button_Panel[0]);
             QTest::keyClick(t.panel, Qt::Key_Delete);
         },
         [](T& t) { ASSERT_TRUE(t.Place(KindButton, QPoint(560, 200))); }},
        {"Move", none,
         [](T& t) {
             t.DoubleClick(t.Views().Quel_SignD_Image[0]);
             t.MoveTo(QPoint(400, 200));
             QTest::mouseClick(t.Editor().MoveShape, Qt::LeftButton, {}, QPoint(1, 1));
         }},
        {"Resize", none,
         [](T& t) {
             t.DoubleClick(t.Views().Quel_Slider_Image[0]);
             t.Ctrl(true);
             t.MoveTo(QPoint(345, 147));
             t.Ctrl(false);
             QTest::mouseClick(t.Editor().MoveShape, Qt::LeftButton, {}, QPoint(1, 1));
         }},
        {"Delete", none,
         [](T& t) {
             t.DoubleClick(t.Views().Quel_Button_Panel[0]);
             QTest::keyClick(t.panel, Qt::Key_Delete);
         }},
        {"Paste", [](T& t) { t.Copy(t.Views().Quel_Button_Panel[0]); },
         [](T& t) { t.PasteAt(QPoint(400, 300)); }},
        {"EditWithoutChange", none,
         [](T& t) {
             ASSERT_TRUE(t.Open(t.Views().Quel_Button_Panel[0])); // shown anew at the end of the file
             t.EndEdit();
         }},
        {"TextRow", none,
         [](T& t) { t.Edit(t.Views().Quel_Button_Panel[0], 11, "Zawor"); }},
        {"ListRow", none,
         [](T& t) { t.Edit(t.Views().Quel_Button_Panel[1], 1, "127.0.0.2"); }},
        {"NumberRow", none,
         [](T& t) { t.Edit(t.Views().Quel_SignD_Image[0], 10, "250"); }},
        {"FixedListRow", none,
         [](T& t) {
             ASSERT_TRUE(t.Open(t.Views().Quel_Button_Panel[0]));
             QComboBox* modes = t.Sheet()->Cell(5)->Combo();
             modes->setFocus();
             QTest::keyClick(modes, Qt::Key_Down); // "Włącz"
             t.EndEdit();
         }},
        {"PicturePicker", none,
         [](T& t) {
             PictureDialog() = [](QWidget*, const QString&, const QString&) {
                 return std::optional<QString>("/obrazki/zał.png");
             };
             ASSERT_TRUE(t.Open(t.Views().Quel_Button_Panel[0]));
             t.Pick(9);
             t.EndEdit();
         }},
        {"RealRow", none,
         [](T& t) { t.Edit(t.Views().Quel_SignA_Image[0], 9, "30"); }}, // level 2
        {"ColourPicker", none,
         [](T& t) {
             ASSERT_TRUE(t.Open(t.Views().Quel_Text[0]));
             t.Pick(4);
             QComboBox* box = t.Sheet()->ColorBox();
             ASSERT_TRUE(box);
             box->setCurrentIndex(box->findText("Czerwony"));
             t.EndEdit();
         }},
        {"YesNoPicker", none,
         [](T& t) {
             ASSERT_TRUE(t.Open(t.Views().Quel_Text[0]));
             t.Pick(5);
             ASSERT_TRUE(t.Sheet()->CheckBox());
             t.Sheet()->CheckBox()->click();
             t.EndEdit();
         }},
        {"SliderRule", none,
         [](T& t) { t.Edit(t.Views().Quel_Slider_Image[0], 7, "4"); }}, // steps: the step value follows
    };
    return cases;
}

TEST_P(UndoEveryChange, UndoGivesTheRecordsAndFileBeforeRedoThoseAfter) {
    const UndoCase* c = nullptr;
    for (const UndoCase& each : Cases())
        if (std::string(each.name) == GetParam())
            c = &each;
    ASSERT_TRUE(c);
    ASSERT_NO_FATAL_FAILURE(BuildPanel());
    ASSERT_NO_FATAL_FAILURE(c->prepare(*this));
    const ElementRecords recordsBefore = panel->Records;
    const QByteArray fileBefore = File();
    const int steps = Steps().count();

    ASSERT_NO_FATAL_FAILURE(c->act(*this));
    ASSERT_FALSE(Editor().NewShape || Editor().MoveShape || Editor().EditShape);
    const ElementRecords recordsAfter = panel->Records;
    const QByteArray fileAfter = File();
    ASSERT_NE(fileAfter, fileBefore);
    EXPECT_EQ(Steps().count(), steps + 1) << "one change, one step";

    for (int round = 0; round < 2; ++round) {
        Key(Qt::Key_Z);
        EXPECT_TRUE(panel->Records == recordsBefore);
        EXPECT_EQ(File(), fileBefore);
        Key(round == 0 ? Qt::Key_Y : Qt::Key_Z, round == 0 ? Qt::ControlModifier
                                                            : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(panel->Records == recordsAfter);
        EXPECT_EQ(File(), fileAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, UndoEveryChange,
                         ::testing::Values("Place", "PlaceInFreedSlot", "Move", "Resize", "Delete", "Paste",
                                           "EditWithoutChange", "TextRow", "ListRow", "NumberRow",
                                           "FixedListRow", "PicturePicker", "RealRow", "ColourPicker",
                                           "YesNoPicker", "SliderRule"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return info.param; });

TEST_F(UndoTest, TypedValueCountsOnceAndEachChangedRowIsAStep) {
    ASSERT_NO_FATAL_FAILURE(BuildPanel());
    const QByteArray fileBefore = File();
    const int steps = Steps().count();
    ASSERT_TRUE(Open(Views().Quel_Button_Panel[0]));
    QLineEdit* host = Sheet()->Cell(1)->LineEdit();
    host->setFocus();
    host->selectAll();
    QTest::keyClicks(host, "10.0.0.9"); // eight keys, no Return: the next row ends it
    QLineEdit* port = Sheet()->Cell(2)->LineEdit();
    port->setFocus();
    port->selectAll();
    QTest::keyClicks(port, "8080");
    EndEdit();
    EXPECT_EQ(Steps().count(), steps + 2);
    EXPECT_EQ(panel->Records.ES_Buttons[0].sPort, 8080);

    Key(Qt::Key_Z);
    EXPECT_EQ(panel->Records.ES_Buttons[0].sHost, "10.0.0.9");
    EXPECT_EQ(panel->Records.ES_Buttons[0].sPort, 7080);
    ASSERT_TRUE(Views().Quel_Button_Panel[0]); // shown anew from the record
    EXPECT_EQ(Views().Quel_Button_Panel[0]->geometry(), QRect(16, 16, 64, 24));
    Key(Qt::Key_Z);
    EXPECT_EQ(panel->Records.ES_Buttons[0].sHost, "127.0.0.1");
    EXPECT_EQ(File(), fileBefore);
}

TEST_F(UndoTest, LongMixedSequenceUndoneToTheStartSavesTheOriginalFile) {
    ASSERT_NO_FATAL_FAILURE(BuildPanel());
    const QByteArray original = File();
    const int start = Steps().count();

    PictureDialog() = [](QWidget*, const QString&, const QString&) {
        return std::optional<QString>("/obrazki/nowy.png");
    };
    for (const char* name : {"Move", "TextRow", "Place", "Resize", "ColourPicker", "PlaceInFreedSlot", "ListRow",
                             "EditWithoutChange", "PicturePicker", "SliderRule"}) {
        SCOPED_TRACE(name);
        for (const UndoCase& c : UndoEveryChange::Cases())
            if (std::string(c.name) == name) {
                ASSERT_NO_FATAL_FAILURE(c.prepare(*this));
                ASSERT_NO_FATAL_FAILURE(c.act(*this));
            }
    }
    ASSERT_NO_FATAL_FAILURE(Copy(Views().Quel_SignA_Image[0]));
    ASSERT_NO_FATAL_FAILURE(PasteAt(QPoint(500, 250)));
    ASSERT_NO_FATAL_FAILURE(PasteAt(QPoint(500, 100)));
    const QByteArray last = File();
    const int made = Steps().count() - start;
    EXPECT_GE(made, 14);

    auto keyTimes = [&](Qt::Key key) {
        for (int i = 0; i < made; ++i)
            Key(key);
    };
    keyTimes(Qt::Key_Z);
    EXPECT_EQ(Steps().index(), start);
    EXPECT_EQ(File(), original);
    keyTimes(Qt::Key_Y);
    EXPECT_EQ(File(), last);
    keyTimes(Qt::Key_Z);
    // Closing writes the file before the first change, byte for byte.
    ASSERT_TRUE(panel->close());
    QFile file(PanelFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), original);
}

TEST_F(UndoTest, KeysIgnoredWhileAFrameIsOpenAndTakenFromTheToolbox) {
    ASSERT_TRUE(Place(KindButton, QPoint(16, 16)));
    ASSERT_EQ(Steps().count(), 1);

    ASSERT_TRUE(Drop(KindText, QPoint(300, 300)));
    Key(Qt::Key_Z);
    EXPECT_TRUE(Views().Quel_Button_Panel[0]);
    ASSERT_TRUE(Editor().NewShape);
    QTest::keyClick(panel, Qt::Key_Delete); // cancelled: no step
    EXPECT_EQ(Steps().count(), 1);

    DoubleClick(Views().Quel_Button_Panel[0]);
    Key(Qt::Key_Z);
    ASSERT_TRUE(Editor().MoveShape);
    QTest::mouseClick(Editor().MoveShape, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(Steps().count(), 1) << "put back where it was: nothing changed";

    ASSERT_TRUE(Open(Views().Quel_Button_Panel[0]));
    Key(Qt::Key_Z);
    Key(Qt::Key_Z, Qt::ControlModifier, Sheet()->Cell(11)->LineEdit());
    ASSERT_TRUE(Editor().EditShape);
    EndEdit();
    EXPECT_TRUE(Views().Quel_Button_Panel[0]);

    // The toolbox has the focus: the key is the editor's all the same.
    tool->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(tool));
    QWidget* focus = QApplication::focusWidget();
    ASSERT_TRUE(focus && focus->window() == tool);
    Key(Qt::Key_Z, Qt::ControlModifier, focus);
    EXPECT_FALSE(Views().Quel_Button_Panel[0]);
    EXPECT_EQ(panel->Records.Count(KindButton), 0);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, focus);
    EXPECT_TRUE(Views().Quel_Button_Panel[0]);
}

TEST_F(UndoTest, CopyPutsTheBlockOnTheClipboardAndPastePlacesLikeADrop) {
    ASSERT_NO_FATAL_FAILURE(BuildPanel());
    ASSERT_TRUE(Open(Views().Quel_Button_Panel[0]));
    Key(Qt::Key_C);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime);
    ASSERT_TRUE(mime->hasFormat(ElementMimeType));
    // Text selected in a row is the row's to copy, not the element.
    tool->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(tool));
    QLineEdit* caption = Sheet()->Cell(11)->LineEdit();
    caption->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), caption);
    caption->setSelection(0, 3);
    Key(Qt::Key_C, Qt::ControlModifier, caption);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Pom");
    caption->deselect();
    Key(Qt::Key_C, Qt::ControlModifier, caption);
    mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime && mime->hasFormat(ElementMimeType));
    // The grid, which copies its current cell's text, does not get the key.
    auto* grid = Named<QTableWidget>(*Sheet(), "ValueListEditor1");
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    QGuiApplication::clipboard()->setText("Pompa");
    Key(Qt::Key_C, Qt::ControlModifier, grid);
    mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime && mime->hasFormat(ElementMimeType));
    EndEdit();
    // The text form is the button's block of the panel file.
    File();
    const std::vector<Block> saved = SavedBlocks();
    const QStringList text = SplitPanelLines(mime->text());
    ASSERT_GE(text.size(), 3);
    EXPECT_EQ(text.first(), "{");
    EXPECT_EQ(text.last(), "}");
    EXPECT_TRUE(mime->text().endsWith("}\r\n"));
    const auto block = std::find(saved.begin(), saved.end(), Block{"btn", QRect(16, 16, 64, 24), {}});
    ASSERT_NE(block, saved.end());
    EXPECT_EQ(text.mid(1, text.size() - 2), block->lines);
    EXPECT_EQ(QString::fromUtf8(mime->data(ElementMimeType)), mime->text());

    // Ctrl+V: the copy's frame at the pointer, snapped; Delete cancels it.
    PointerAt(QPoint(403, 301));
    Key(Qt::Key_V);
    ASSERT_TRUE(Editor().NewShape);
    EXPECT_EQ(Editor().NewShape->geometry(), QRect(400, 296, 64, 24));
    EXPECT_EQ(Editor().NewShape->PenColor(), EditorFrame::PlacingColor());
    EXPECT_EQ(Editor().EditType, KindButton);
    Key(Qt::Key_V); // placing already
    const int steps = Steps().count();
    QTest::keyClick(panel, Qt::Key_Delete);
    EXPECT_FALSE(Editor().NewShape);
    EXPECT_EQ(Steps().count(), steps);

    // With Shift held the frame is not snapped. Placed: a new slot holding
    // the copied record.
    PointerAt(QPoint(403, 301));
    Key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier); // no paste
    EXPECT_FALSE(Editor().NewShape);
    Key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(Editor().NewShape);
    EXPECT_EQ(Editor().NewShape->pos(), QPoint(403, 301));
    QTest::mouseClick(Editor().NewShape, Qt::LeftButton, {}, QPoint(1, 1));
    ASSERT_EQ(panel->Records.Count(KindButton), 3);
    EXPECT_TRUE(panel->Records.ES_Buttons[2] == panel->Records.ES_Buttons[0]);
    ASSERT_TRUE(Views().Quel_Button_Panel[2]);
    EXPECT_EQ(Views().Quel_Button_Panel[2]->Caption(), "Pompa  ");

    // A block copied from a panel file as plain text pastes too; other text does not.
    QGuiApplication::clipboard()->setText(
        "{\r\nx_tp=tlb\r\nx_px=1\r\nx_py=2\r\nx_pw=96\r\nx_ph=16\r\nt_tx=Ciśnienie\r\n}\r\n");
    PointerAt(QPoint(500, 200));
    Key(Qt::Key_V);
    ASSERT_TRUE(Editor().NewShape);
    EXPECT_EQ(Editor().NewShape->size(), QSize(96, 16));
    QTest::mouseClick(Editor().NewShape, Qt::LeftButton, {}, QPoint(1, 1));
    ASSERT_EQ(panel->Records.Count(KindText), 2);
    EXPECT_EQ(panel->Records.ES_Texts[1].sText, "Ciśnienie");
    QGuiApplication::clipboard()->setText("Pompa");
    Key(Qt::Key_V);
    EXPECT_FALSE(Editor().NewShape);

    // Ctrl+C with no element being edited leaves the clipboard alone.
    Key(Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Pompa");
}

} // namespace
} // namespace quelnet
