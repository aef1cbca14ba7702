// Element views: the controls each kind gets per mode, names, tags, rects,
// stacking, handlers, slots, destruction and the run-mode picture rules.
#include "tests/gui/panel/PanelFileTestSupport.h"

#include "gui/common/HelpSupport.h"
#include "gui/common/TColorMap.h"
#include "gui/panel/ElementControls.h"
#include "gui/panel/PanelViews.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

using namespace quelnet;

namespace {

// Records every handler call as "Handler:ControlName".
class RecordingHandlers : public IElementHandlers {
public:
    QStringList calls;
    std::function<void(QWidget*)> onDblClick;

    void ElementClick(QWidget* s) override { calls << "ElementClick:" + s->objectName(); }
    void ElementDblClick(QWidget* s) override {
        calls << "ElementDblClick:" + s->objectName();
        if (onDblClick)
            onDblClick(s);
    }
    void ElementOutputClick(QWidget* s) override { calls << "ElementOutputClick:" + s->objectName(); }
    void SliderChange(QWidget* s) override {
        calls << QString("SliderChange:%1=%2").arg(s->objectName()).arg(static_cast<QSlider*>(s)->value());
    }
};

// Counts the mouse events that reach the window itself.
class MouseCounter : public QObject {
public:
    int moves = 0, presses = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseMove)
            ++moves;
        if (e->type() == QEvent::MouseButtonPress)
            ++presses;
        return false;
    }
};

class ViewsTest : public ::testing::Test {
protected:
    void Make(bool editMode) {
        m_edit = editMode;
        window = std::make_unique<QWidget>();
        window->setFont(QFont("Tahoma", 8));
        window->resize(700, 382);
        views = std::make_unique<PanelViews>(window.get(), records, handlers, m_edit);
        window->show();
    }
    void TearDown() override {
        views.reset();
        window.reset();
    }
    QWidget* Add(int kind, const QRect& r) {
        const int slot = views->AllocateSlot(kind);
        return views->CreateElementViews(kind, slot, r);
    }
    // A button with a caption in a new slot.
    ElementPanel* AddButton(const QString& caption, const QRect& r) {
        const int slot = views->AllocateSlot(KindButton);
        records.ES_Buttons[size_t(slot)].sCaption = caption;
        return qobject_cast<ElementPanel*>(views->CreateElementViews(KindButton, slot, r));
    }
    int ChildIndex(QWidget* w) const { return int(window->children().indexOf(w)); }

    bool m_edit = false;
    ElementRecords records;
    RecordingHandlers handlers;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<PanelViews> views;
};

// ---- controls per kind and mode ----

struct Expected {
    int kind;
    bool edit;
    // (name, type) of each control in the window, in insertion order
    std::vector<std::pair<const char*, const char*>> controls;
};

TEST_F(ViewsTest, EachKindGetsItsControlsNamesTagsAndRectPerMode) {
    const Expected table[] = {
        {KindButton, true, {{"PP_0", "quelnet::ElementPanel"}}},
        {KindButton, false, {{"PP_0", "quelnet::ElementPanel"}}},
        {KindDSign, true, {{"SD_0", "quelnet::ElementShape"}, {"ID_0", "quelnet::ElementPicture"}}},
        {KindDSign, false, {{"ID_0", "quelnet::ElementPicture"}}},
        {KindASign, true, {{"SA_0", "quelnet::ElementShape"}, {"IA_0", "quelnet::ElementPicture"}}},
        {KindASign, false, {{"IA_0", "quelnet::ElementPicture"}}},
        {KindText, true, {{"T_0", "quelnet::ElementStaticText"}}},
        {KindText, false, {{"T_0", "quelnet::ElementStaticText"}}},
        {KindTrack, true, {{"SZ_0", "quelnet::ElementShape"}, {"IZ_0", "quelnet::ElementPicture"}}},
        {KindTrack, false, {{"TZ_0", "quelnet::ElementTrackBar"}}},
    };
    for (const Expected& e : table) {
        records = ElementRecords();
        Make(e.edit);
        const QRect r(24, 40, 64, 64);
        QWidget* principal = Add(e.kind, r);
        SCOPED_TRACE(testing::Message() << "kind " << e.kind << (e.edit ? " editor" : " run"));
        ASSERT_TRUE(principal);
        EXPECT_EQ(PanelViews::ElementOf(principal).Kind, e.kind);
        EXPECT_TRUE(records.Enabled(e.kind, 0));
        std::vector<QWidget*> inWindow;
        for (QObject* o : window->children())
            if (auto* w = qobject_cast<QWidget*>(o); w && PanelViews::ElementOf(w).IsElement())
                inWindow.push_back(w);
        ASSERT_EQ(inWindow.size(), e.controls.size());
        for (size_t i = 0; i < inWindow.size(); ++i) {
            QWidget* w = inWindow[i];
            EXPECT_EQ(w->objectName(), e.controls[i].first);
            EXPECT_STREQ(w->metaObject()->className(), e.controls[i].second);
            EXPECT_EQ(ControlTag(w), 0);
            EXPECT_TRUE(w->isVisible());
            if (e.kind != KindText || e.edit) {
                EXPECT_EQ(w->geometry(), r);
            }
            EXPECT_EQ(PanelViews::ElementOf(w).Kind, e.kind);
            EXPECT_EQ(PanelViews::ElementOf(w).Slot, 0);
        }
        // Arrays a mode does not use stay empty.
        EXPECT_EQ(views->Quel_Button_Image.empty(), e.edit || e.kind != KindButton);
        if (e.edit) {
            EXPECT_TRUE(views->Quel_Slider_Track.empty());
        }
        if (!e.edit) {
            EXPECT_TRUE(views->Quel_SignD_Shape.empty() && views->Quel_SignA_Shape.empty());
            EXPECT_TRUE(views->Quel_Slider_Shape.empty() && views->Quel_Slider_Image.empty());
        }
        TearDown();
    }
}

TEST_F(ViewsTest, RunModeButtonHasSquarePictureAndRightAlignedCaption) {
    Make(false);
    ElementPanel* panel = AddButton("Start", QRect(8, 8, 64, 24));
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->Caption(), "Start  ");
    EXPECT_EQ(panel->focusPolicy(), Qt::NoFocus);
    ElementPicture* picture = views->Quel_Button_Image[0];
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->parentWidget(), panel);
    EXPECT_EQ(picture->geometry(), QRect(4, 4, 16, 16));
    EXPECT_EQ(picture->objectName(), "PP_0");
    EXPECT_EQ(ControlTag(picture), 0);
    EXPECT_FALSE(picture->HasPicture());
    EXPECT_EQ(PanelViews::ElementOf(picture).Kind, KindButton);

    // A button whose smaller side is 8 or less has a picture of no size.
    Add(KindButton, QRect(100, 8, 40, 6));
    EXPECT_EQ(views->Quel_Button_Image[1]->size(), QSize(0, 0));
}

// The caption keeps its right edge when its text or font changes after it
// was drawn.
TEST_F(ViewsTest, ButtonCaptionStaysRightAlignedAfterTextAndFontChanges) {
    Make(true);
    ElementPanel* panel = AddButton("Start", QRect(8, 8, 160, 40));
    ASSERT_TRUE(panel);
    // Leftmost and rightmost columns of the caption's dark pixels.
    auto inked = [&] {
        const QImage shot = panel->grab().toImage();
        int left = shot.width(), right = -1;
        for (int y = 2; y < shot.height() - 2; ++y)
            for (int x = 2; x < shot.width() - 2; ++x)
                if (qGray(shot.pixel(x, y)) < 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return std::pair{left, right};
    };
    // The ink ends the two trailing blanks before the frame's inner edge.
    auto expectedRight = [&] {
        return panel->contentsRect().right() - panel->fontMetrics().horizontalAdvance("  ");
    };
    const auto [left, right] = inked();
    ASSERT_LT(left, right);
    EXPECT_NEAR(right, expectedRight(), 2);
    panel->SetCaption("Start pompy  ");
    const auto [longLeft, longRight] = inked();
    EXPECT_LT(longLeft, left);
    EXPECT_NEAR(longRight, expectedRight(), 2);
    QFont big = panel->font();
    big.setPointSize(big.pointSize() * 2);
    panel->setFont(big);
    const auto [bigLeft, bigRight] = inked();
    EXPECT_LT(bigLeft, longLeft);
    EXPECT_NEAR(bigRight, expectedRight(), 2);
}

TEST_F(ViewsTest, EditorShowsPlaceholdersOverHatchedRectanglesAndButtonOnlyItsCaption) {
    Make(true);
    Add(KindDSign, QRect(0, 0, 64, 64));
    Add(KindASign, QRect(80, 0, 32, 96));
    Add(KindTrack, QRect(160, 0, 64, 64));
    Add(KindButton, QRect(240, 0, 64, 24));
    const ElementPicture* pictures[3] = {views->Quel_SignD_Image[0], views->Quel_SignA_Image[0],
                                         views->Quel_Slider_Image[0]};
    const ElementShape* shapes[3] = {views->Quel_SignD_Shape[0], views->Quel_SignA_Shape[0],
                                     views->Quel_Slider_Shape[0]};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(pictures[i] && shapes[i]);
        EXPECT_EQ(pictures[i]->Picture().size(), QSize(64, 64));
        EXPECT_EQ(pictures[i]->Picture(), views->Placeholder(i));
        EXPECT_TRUE(pictures[i]->Picture().hasAlphaChannel());
        EXPECT_EQ(shapes[i]->Brush().style(), Qt::DiagCrossPattern);
        EXPECT_EQ(shapes[i]->Brush().color(), QColor(192, 192, 192));
        EXPECT_EQ(shapes[i]->Pen().style(), Qt::NoPen);
        // The picture lies above its rectangle.
        EXPECT_LT(ChildIndex(const_cast<ElementShape*>(shapes[i])),
                  ChildIndex(const_cast<ElementPicture*>(pictures[i])));
    }
    // The three placeholders differ from one another.
    EXPECT_NE(views->Placeholder(0), views->Placeholder(1));
    EXPECT_NE(views->Placeholder(1), views->Placeholder(2));
    EXPECT_EQ(views->Quel_Button_Panel[0]->findChildren<ElementPicture*>().size(), 0);
}

// A hatched rectangle drawn the plain way: the pattern brush on the control.
class DirectHatch : public QWidget {
public:
    using QWidget::QWidget;
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(Qt::NoPen);
        p.setBrush(QBrush(QColor(192, 192, 192), Qt::DiagCrossPattern));
        p.drawRect(rect());
    }
};

TEST_F(ViewsTest, HatchedRectanglesLookAsDrawnDirectlyWhereverTheyLie) {
    Make(true);
    // Same sizes at places of different pattern phase, and other sizes.
    const QRect rects[] = {
        {3, 5, 45, 30}, {61, 13, 45, 30}, {120, 7, 17, 41}, {150, 50, 1, 9}, {170, 60, 64, 64}};
    QWidget reference;
    reference.setFont(window->font());
    reference.resize(window->size());
    int slot = 0;
    for (const QRect& r : rects) {
        views->EnsureSlot(KindASign, slot);
        views->InsertControl(
            views->CreateSignAShape(PrefixSignAShape, slot++, r.x(), r.y(), r.width(), r.height()));
        (new DirectHatch(&reference))->setGeometry(r);
    }
    reference.show();
    QApplication::processEvents();
    const QImage got = window->grab().toImage(), want = reference.grab().toImage();
    ASSERT_EQ(got.size(), want.size());
    int differing = 0;
    QPoint first;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if (got.pixel(x, y) != want.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
    EXPECT_EQ(differing, 0) << "first at " << first.x() << "," << first.y() << " "
                            << QColor(got.pixel(first)).name().toStdString() << " instead of "
                            << QColor(want.pixel(first)).name().toStdString();
}

TEST_F(ViewsTest, ButtonsAndTextsHideTheHatchBelowThem) {
    Make(true);
    views->EnsureSlot(KindASign, 0);
    views->InsertControl(views->CreateSignAShape(PrefixSignAShape, 0, 0, 0, 200, 100));
    QWidget* button = Add(KindButton, QRect(10, 10, 80, 24));
    QWidget* label = Add(KindText, QRect(10, 50, 80, 16));
    QApplication::processEvents();
    const QImage shot = window->grab().toImage();
    for (QWidget* w : {button, label}) {
        int hatch = 0;
        const QRect r = w->geometry();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                hatch += shot.pixelColor(x, y) == QColor(192, 192, 192);
        EXPECT_EQ(hatch, 0) << w->objectName().toStdString();
    }
    // Beside them the hatch shows.
    int beside = 0;
    for (int x = 100; x < 108; ++x)
        beside += shot.pixelColor(x, 80) == QColor(192, 192, 192);
    EXPECT_GT(beside, 0);
}

TEST_F(ViewsTest, GraphicControlsLieBelowWindowedOnesWhateverTheInsertionOrder) {
    Make(true);
    QWidget* button = Add(KindButton, QRect(0, 0, 64, 24));
    QWidget* label = Add(KindText, QRect(0, 30, 128, 16));
    QWidget* dsign = Add(KindDSign, QRect(0, 0, 64, 64));
    QWidget* asign = Add(KindASign, QRect(0, 0, 64, 64));
    QWidget* button2 = Add(KindButton, QRect(0, 0, 64, 24));
    // Stacking (children order, bottom first): the graphic group, then the windowed group.
    EXPECT_LT(ChildIndex(views->Quel_SignD_Shape[0]), ChildIndex(dsign));
    EXPECT_LT(ChildIndex(dsign), ChildIndex(views->Quel_SignA_Shape[0]));
    EXPECT_LT(ChildIndex(asign), ChildIndex(button));
    EXPECT_LT(ChildIndex(button), ChildIndex(label));
    EXPECT_LT(ChildIndex(label), ChildIndex(button2));
    EXPECT_EQ(window->childAt(10, 10), button2);
}

TEST_F(ViewsTest, GraphicControlsStayBelowAfterTheLowestWindowedChildMovesOrGoes) {
    Make(true);
    QWidget* label = Add(KindText, QRect(0, 30, 128, 16));
    QWidget* button = Add(KindButton, QRect(0, 0, 64, 24));
    Add(KindDSign, QRect(0, 0, 64, 64));
    label->raise(); // the lowest windowed child goes to the top (as the status bar does)
    QWidget* asign = Add(KindASign, QRect(0, 0, 64, 64));
    EXPECT_LT(ChildIndex(asign), ChildIndex(button));
    views->DestroyElementControls(KindButton, 0); // the lowest windowed child goes
    QWidget* slider = Add(KindTrack, QRect(0, 0, 64, 64));
    EXPECT_LT(ChildIndex(slider), ChildIndex(label));
    // Bottom first: every graphic control, then every windowed one.
    bool windowedSeen = false;
    for (QObject* o : window->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w)
            continue;
        windowedSeen = windowedSeen || !IsGraphicControl(w);
        EXPECT_FALSE(windowedSeen && IsGraphicControl(w)) << w->objectName().toStdString();
    }
    EXPECT_EQ(ChildIndex(views->Quel_Slider_Shape[0]) + 1, ChildIndex(slider));
}

TEST_F(ViewsTest, HelpButtonIsBackOnTopOnceElementsAreAdded) {
    Make(true);
    QToolButton* help = InstallHelp(window.get(), "k");
    for (int i = 0; i < 3; ++i) {
        Add(KindButton, QRect(600, 0, 100, 24));
        Add(KindDSign, QRect(600, 0, 100, 64));
    }
    QApplication::processEvents();
    EXPECT_EQ(window->children().last(), help);
    EXPECT_EQ(window->childAt(help->geometry().center()), help);
}

// ---- text labels ----

TEST_F(ViewsTest, TextLabelFontColourAndBorderPerMode) {
    Make(true);
    records.Append(KindText);
    TES_Text& t = records.ES_Texts[0];
    t.sText = "Pompa";
    t.sFontName = "DejaVu Sans";
    t.sFontSize = 14;
    t.sFontColor = 0x00FF0000; // blue
    t.sFontBold = true;
    t.sFontStrike = true;
    auto* label =
        qobject_cast<ElementStaticText*>(views->CreateElementViews(KindText, 0, QRect(8, 8, 128, 16)));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "Pompa");
    EXPECT_EQ(label->font().family(), "DejaVu Sans");
    EXPECT_EQ(label->font().pointSize(), 14);
    EXPECT_TRUE(label->font().bold());
    EXPECT_FALSE(label->font().italic());
    EXPECT_FALSE(label->font().underline());
    EXPECT_TRUE(label->font().strikeOut());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(label->Sunken());
    // 16 pixels are too low for 14 points: the editor grows the label
    // downwards; the element keeps its rectangle.
    EXPECT_EQ(label->pos(), QPoint(8, 8));
    EXPECT_EQ(label->width(), 128);
    EXPECT_GE(label->height(), label->fontMetrics().height() + 2);
    EXPECT_EQ(PanelViews::ElementRect(label), QRect(8, 8, 128, 16));

    // A new label: window face (Tahoma), the toolkit's default size, black, no style.
    const int slot = views->AllocateSlot(KindText);
    auto* plain =
        qobject_cast<ElementStaticText*>(views->CreateElementViews(KindText, slot, QRect(0, 40, 128, 16)));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->font().family(), "Tahoma");
    EXPECT_EQ(plain->font().pointSizeF(), QApplication::font().pointSizeF());
    EXPECT_EQ(plain->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_FALSE(plain->font().bold() || plain->font().italic() || plain->font().underline());
}

TEST_F(ViewsTest, RunModeLabelGrowsToItsTextFromItsTopLeftCorner) {
    Make(false);
    records.Append(KindText);
    records.ES_Texts[0].sText = "Temperatura wody w zbiorniku górnym przekroczyła próg alarmowy";
    records.ES_Texts[0].sFontSize = 12;
    auto* label =
        qobject_cast<ElementStaticText*>(views->CreateElementViews(KindText, 0, QRect(16, 24, 128, 16)));
    ASSERT_TRUE(label);
    EXPECT_FALSE(label->Sunken());
    EXPECT_EQ(label->pos(), QPoint(16, 24));
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(records.ES_Texts[0].sText));
    EXPECT_GE(label->height(), label->fontMetrics().height());
}

// The editor draws a label's text as the run mode does, whole, whatever the
// saved rectangle; a rectangle larger than the text is kept, and the element's
// own rectangle (saved, framed by the editor) stays as it was.
TEST_F(ViewsTest, EditorLabelShowsItsWholeTextAndKeepsALargerRectangle) {
    const QString title = "Wirtualny Quelnet — panel demonstracyjny";
    struct Case {
        QRect saved;
        int fontSize;
    };
    for (const Case& c : {Case{QRect(20, 12, 420, 24), 14}, Case{QRect(20, 40, 40, 8), 9},
                          Case{QRect(20, 60, 900, 120), 9}}) {
        SCOPED_TRACE(testing::Message() << "font " << c.fontSize << " width " << c.saved.width());
        QSize run;
        for (bool edit : {false, true}) {
            records = ElementRecords();
            Make(edit);
            records.Append(KindText);
            records.ES_Texts[0].sText = title;
            records.ES_Texts[0].sFontName = "DejaVu Sans";
            records.ES_Texts[0].sFontSize = c.fontSize;
            records.ES_Texts[0].sFontBold = true;
            auto* label = qobject_cast<ElementStaticText*>(views->CreateElementViews(KindText, 0, c.saved));
            ASSERT_TRUE(label);
            EXPECT_EQ(label->pos(), c.saved.topLeft());
            if (!edit) {
                run = label->size();
                TearDown();
                continue;
            }
            // The run mode's text plus the editor's one-pixel sunken border.
            EXPECT_GE(label->width(), run.width() + 2);
            EXPECT_GE(label->height(), run.height() + 2);
            EXPECT_GE(label->width(), c.saved.width());
            EXPECT_GE(label->height(), c.saved.height());
            EXPECT_EQ(PanelViews::ElementRect(label), c.saved); // what the panel file keeps
            if (c.saved.width() >= run.width() + 2 && c.saved.height() >= run.height() + 2) {
                EXPECT_EQ(label->geometry(), c.saved);
            }
            TearDown();
        }
    }
}

TEST(TColorMap, PlainAndSystemColours) {
    QPalette pal;
    pal.setColor(QPalette::WindowText, QColor(1, 2, 3));
    pal.setColor(QPalette::Base, QColor(4, 5, 6));
    pal.setColor(QPalette::Button, QColor(7, 8, 9));
    pal.setColor(QPalette::ButtonText, QColor(10, 11, 12));
    pal.setColor(QPalette::Highlight, QColor(13, 14, 15));
    pal.setColor(QPalette::HighlightedText, QColor(16, 17, 18));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(19, 20, 21));
    pal.setColor(QPalette::ToolTipBase, QColor(22, 23, 24));
    const struct {
        TColor in;
        QColor out;
    } cases[] = {
        {0x000000FF, QColor(255, 0, 0)},   {0x0000FF00, QColor(0, 255, 0)},
        {0x00FF0000, QColor(0, 0, 255)},   {0x00102030, QColor(0x30, 0x20, 0x10)},
        {clWindowText, QColor(1, 2, 3)},   {clWindow, QColor(4, 5, 6)},
        {clBtnFace, QColor(7, 8, 9)},      {clBtnText, QColor(10, 11, 12)},
        {clHighlight, QColor(13, 14, 15)}, {clHighlightText, QColor(16, 17, 18)},
        {0xFF000009, QColor(16, 17, 18)}, // caption text, on the active caption's highlight
        {0xFF000011, QColor(19, 20, 21)}, // grey text: disabled text
        {0xFF000018, QColor(22, 23, 24)}, // info background
        {0xFF0000FF, QColor(1, 2, 3)},    // no such index: window text
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorFromTColor(c.in, pal), c.out) << std::hex << c.in;
}

// ---- sliders ----

TEST_F(ViewsTest, SliderRangeOrientationAndNothingSentWhileSettingUp) {
    Make(false);
    const struct {
        int orient, steps;
        Qt::Orientation expected;
        int maximum;
    } cases[] = {{0, 10, Qt::Horizontal, 10},
                 {1, 5, Qt::Vertical, 5},
                 {2, 3, Qt::Horizontal, 3},
                 {255, 0, Qt::Horizontal, 0}};
    int slot = 0;
    for (const auto& c : cases) {
        records.Append(KindTrack);
        records.ES_Tracks[size_t(slot)].sOrient = std::uint8_t(c.orient);
        records.ES_Tracks[size_t(slot)].sSteps = c.steps;
        auto* track = qobject_cast<ElementTrackBar*>(
            views->CreateElementViews(KindTrack, slot, QRect(0, slot * 40, 120, 32)));
        ASSERT_TRUE(track);
        EXPECT_EQ(track->orientation(), c.expected) << "sOrient " << c.orient;
        EXPECT_EQ(track->minimum(), 0);
        EXPECT_EQ(track->maximum(), c.maximum);
        EXPECT_EQ(track->value(), 0);
        ++slot;
    }
    // Position 0 of a vertical slider is at the top.
    EXPECT_TRUE(views->Quel_Slider_Track[1]->invertedAppearance());
    EXPECT_TRUE(handlers.calls.isEmpty());
    views->Quel_Slider_Track[0]->setValue(3);
    views->Quel_Slider_Track[0]->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(handlers.calls, QStringList({"SliderChange:TZ_0=3", "SliderChange:TZ_0=4"}));
}

// ---- handlers and mouse ----

TEST_F(ViewsTest, EditorClicksAndDoubleClicksReachTheEditorHandlers) {
    Make(true);
    Add(KindButton, QRect(0, 0, 64, 24));
    Add(KindDSign, QRect(80, 0, 64, 64));
    Add(KindText, QRect(160, 0, 128, 16));
    for (QWidget* w : std::initializer_list<QWidget*>{views->Quel_Button_Panel[0], views->Quel_SignD_Image[0],
                                                      views->Quel_Text[0]}) {
        handlers.calls.clear();
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(w, Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseDClick(w, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(handlers.calls,
                  QStringList({"ElementClick:" + w->objectName(), "ElementDblClick:" + w->objectName()}))
            << w->objectName().toStdString();
    }
    // A press on the control released elsewhere is no click.
    handlers.calls.clear();
    QWidget* pic = views->Quel_SignD_Image[0];
    QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(100, 5));
    EXPECT_TRUE(handlers.calls.isEmpty());
}

TEST_F(ViewsTest, RunModeClicksSwitchOutputsOnlyOnButtonsAndDigitalIndicators) {
    Make(false);
    Add(KindButton, QRect(0, 0, 64, 24));
    Add(KindDSign, QRect(80, 0, 64, 64));
    Add(KindASign, QRect(160, 0, 64, 64));
    Add(KindText, QRect(240, 0, 64, 16));
    QTest::mouseClick(views->Quel_Button_Panel[0], Qt::LeftButton, {}, QPoint(50, 12));
    QTest::mouseClick(views->Quel_Button_Image[0], Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(views->Quel_SignD_Image[0], Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(views->Quel_SignA_Image[0], Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(views->Quel_Text[0], Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseDClick(views->Quel_SignD_Image[0], Qt::LeftButton, {}, QPoint(5, 5));
    // The double-click's second press is the double-click, not another click:
    // a fast double-click switches once.
    EXPECT_EQ(handlers.calls,
              QStringList({"ElementOutputClick:PP_0", "ElementOutputClick:PP_0", "ElementOutputClick:ID_0"}));
}

TEST_F(ViewsTest, MouseEventsOverElementsNeverReachTheWindow) {
    Make(true);
    window->setMouseTracking(true);
    MouseCounter counter;
    window->installEventFilter(&counter);
    Add(KindDSign, QRect(0, 0, 64, 64));
    Add(KindTrack, QRect(80, 0, 64, 64));
    Add(KindText, QRect(160, 0, 128, 16));
    for (QWidget* w : std::initializer_list<QWidget*>{views->Quel_SignD_Image[0], views->Quel_SignD_Shape[0],
                                                      views->Quel_Slider_Image[0], views->Quel_Text[0]}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }
    EXPECT_EQ(counter.moves, 0);
    EXPECT_EQ(counter.presses, 0);
    // The window's own background still gets them.
    QMouseEvent move(QEvent::MouseMove, QPointF(400, 300), window->mapToGlobal(QPointF(400, 300)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &move);
    EXPECT_EQ(counter.moves, 1);
}

// ---- slots and destruction ----

TEST_F(ViewsTest, LowestFreeSlotIsReusedWithItsRecordAndArraysGrowPerMode) {
    Make(true);
    for (int i = 0; i < 3; ++i) {
        Add(KindDSign, QRect(i * 70, 0, 64, 64));
        records.ES_DSigns[size_t(i)].sHost = QString("host%1").arg(i);
    }
    EXPECT_EQ(views->Quel_SignD_Image.size(), 3u);
    EXPECT_EQ(views->Quel_SignD_Shape.size(), 3u);
    records.ES_DSigns[0].sEnabled = false; // taken up and deleted
    views->DestroyElementControls(KindDSign, 0);
    EXPECT_FALSE(views->Quel_SignD_Image[0]);
    EXPECT_FALSE(views->Quel_SignD_Shape[0]);
    EXPECT_FALSE(window->findChild<QWidget*>("ID_0"));
    EXPECT_FALSE(window->findChild<QWidget*>("SD_0"));
    EXPECT_EQ(views->AllocateSlot(KindDSign), 0);
    EXPECT_EQ(records.ES_DSigns[0].sHost, "host0");
    views->CreateElementViews(KindDSign, 0, QRect(0, 100, 64, 64));
    EXPECT_TRUE(records.ES_DSigns[0].sEnabled);
    EXPECT_EQ(views->Quel_SignD_Image[0]->objectName(), "ID_0");
    EXPECT_EQ(views->AllocateSlot(KindDSign), 3);
    EXPECT_EQ(records.ES_DSigns.size(), 4u);
    EXPECT_EQ(views->Quel_SignD_Shape.size(), 4u);
    EXPECT_TRUE(records.ES_DSigns[3].sHost.isEmpty());
    // A slot that is not in the record array creates nothing.
    EXPECT_FALSE(views->CreateSignDImage(PrefixSignDImage, 9, 0, 0, 8, 8));
    EXPECT_FALSE(views->CreateElementViews(7, 0, QRect(0, 0, 8, 8)));
    EXPECT_EQ(views->AllocateSlot(KindNone), -1);
}

// A panel file is read in a batch; the slot rule is the same there.
TEST_F(ViewsTest, SlotsInsideABatchFollowTheLowestFreeSlotRule) {
    Make(true);
    const PanelViews::InsertBatch batch(*views);
    for (int i = 0; i < 3; ++i)
        Add(KindDSign, QRect(i * 70, 0, 64, 64));
    // A slot given out but left without views is still the lowest free one.
    EXPECT_EQ(views->AllocateSlot(KindDSign), 3);
    EXPECT_EQ(views->AllocateSlot(KindDSign), 3);
    views->CreateElementViews(KindDSign, 3, QRect(0, 70, 64, 64));
    views->DestroyElementControls(KindDSign, 1);
    EXPECT_EQ(views->AllocateSlot(KindDSign), 1);
    views->CreateElementViews(KindDSign, 1, QRect(0, 140, 64, 64));
    EXPECT_EQ(views->AllocateSlot(KindDSign), 4);
    EXPECT_EQ(views->AllocateSlot(KindASign), 0);
}

TEST_F(ViewsTest, RunModeSliderSlotsFollowTheTrackBars) {
    Make(false);
    Add(KindTrack, QRect(0, 0, 120, 32));
    Add(KindButton, QRect(0, 40, 64, 24));
    EXPECT_EQ(views->Quel_Slider_Track.size(), 1u);
    EXPECT_TRUE(views->Quel_Slider_Image.empty());
    EXPECT_EQ(views->Quel_Button_Image.size(), 1u);
    views->DestroyElementControls(KindButton, 0);
    EXPECT_FALSE(views->Quel_Button_Image[0]);
    EXPECT_FALSE(views->Quel_Button_Panel[0]);
    EXPECT_TRUE(views->IsSlotFree(KindButton, 0));
    EXPECT_FALSE(views->IsSlotFree(KindTrack, 0));
}

TEST_F(ViewsTest, HandlerMayDestroyTheControlThatCalledIt) {
    Make(true);
    Add(KindDSign, QRect(0, 0, 64, 64));
    handlers.onDblClick = [this](QWidget* sender) {
        const ElementRef ref = PanelViews::ElementOf(sender);
        views->DestroyElementControls(ref.Kind, ref.Slot);
    };
    QPointer<ElementPicture> picture = views->Quel_SignD_Image[0].data();
    QTest::mouseDClick(picture, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(views->Quel_SignD_Image[0]);
    EXPECT_FALSE(views->Quel_SignD_Shape[0]);
    EXPECT_NE(picture->parentWidget(), window.get());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(picture);
}

TEST_F(ViewsTest, ClearAllDestroysEveryElementControlAndKeepsRecords) {
    Make(false);
    Add(KindButton, QRect(0, 0, 64, 24));
    Add(KindDSign, QRect(0, 30, 64, 64));
    Add(KindASign, QRect(70, 30, 64, 64));
    Add(KindText, QRect(0, 100, 64, 16));
    Add(KindTrack, QRect(0, 130, 120, 32));
    auto* other = new QLabel("not an element", window.get());
    other->setObjectName("PP_99"); // right prefix, wrong type
    views->ClearAll();
    for (QObject* o : window->children())
        EXPECT_FALSE(PanelViews::ElementOf(o).IsElement()) << o->objectName().toStdString();
    EXPECT_EQ(other->parent(), window.get());
    EXPECT_TRUE(views->Quel_Button_Panel.empty() && views->Quel_Button_Image.empty() &&
                views->Quel_SignD_Image.empty() && views->Quel_SignA_Image.empty() &&
                views->Quel_Text.empty() && views->Quel_Slider_Track.empty());
    EXPECT_EQ(records.Count(KindButton), 1);
    EXPECT_EQ(records.Count(KindTrack), 1);
    // Slots are allocated afresh, from 0, reusing the records.
    EXPECT_EQ(views->AllocateSlot(KindButton), 0);
}

TEST_F(ViewsTest, SaveOrderIsGraphicThenWindowedEachInInsertionOrder) {
    Make(true);
    Add(KindText, QRect(0, 0, 64, 16));
    Add(KindTrack, QRect(0, 20, 64, 64));
    Add(KindButton, QRect(0, 90, 64, 24));
    Add(KindDSign, QRect(70, 20, 64, 64));
    std::vector<int> kinds;
    for (const PanelElementPlace& p : views->ElementsInSaveOrder())
        kinds.push_back(p.Kind);
    EXPECT_EQ(kinds, std::vector<int>({KindTrack, KindDSign, KindText, KindButton}));
    EXPECT_EQ(views->ElementsInSaveOrder()[0].Rect, QRect(0, 20, 64, 64));
}

// ---- run-mode pictures ----

class PictureRulesTest : public ViewsTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Make(false);
    }
    // A w x 1 PNG, so that the loaded picture tells which file it came from.
    QString Png(const QString& name, int width) {
        QImage img(width, 1, QImage::Format_ARGB32);
        img.fill(Qt::red);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(img.save(path, "PNG"));
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(PictureRulesTest, AnalogLevelsFromEightDownStrictlyGreater) {
    records.Append(KindASign);
    TES_ASign& a = records.ES_ASigns[0];
    a.sI_ImgD = Png("default.png", 100);
    for (int i = 0; i < AnalogLevelCount; ++i) {
        a.sI_Lev[i] = float(10 * (i + 1));
        a.sI_Img[i] = Png(QString("img%1.png").arg(i + 1), i + 1);
    }
    Add(KindASign, QRect(0, 0, 64, 64));
    ElementPicture* pic = views->Quel_SignA_Image[0];
    const struct {
        float value;
        int width; // picture chosen: 1-8 for levels, 100 for the default
    } cases[] = {{20.f, 1},
                 {80.5f, 8},
                 {-5.f, 100},
                 {10.f, 100},
                 {10.5f, 1},
                 {80.f, 7},
                 {std::numeric_limits<float>::quiet_NaN(), 100},
                 {std::numeric_limits<float>::infinity(), 8}};
    for (const auto& c : cases) {
        views->ShowAnalog(0, c.value);
        ASSERT_TRUE(pic->HasPicture()) << c.value;
        EXPECT_EQ(pic->Picture().width(), c.width) << c.value;
    }
    // Only the selected file is tried: a missing img8 leaves no picture at all.
    a.sI_Img[7] = dir.filePath("missing.png");
    views->ShowAnalog(0, 100.f);
    EXPECT_FALSE(pic->HasPicture());
}

TEST_F(PictureRulesTest, DigitalStatesAndUnloadableFiles) {
    records.Append(KindButton);
    records.Append(KindDSign);
    records.ES_Buttons[0].sI_ImgL = Png("off.png", 3);
    records.ES_Buttons[0].sI_ImgH = Png("on.png", 4);
    records.ES_DSigns[0] = TES_DSign();
    records.ES_DSigns[0].sI_ImgH = dir.filePath("broken.png");
    QFile broken(records.ES_DSigns[0].sI_ImgH);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\nnot really");
    broken.close();
    records.ES_DSigns[0].sI_ImgL = Png("dsign_off.png", 5);
    Add(KindButton, QRect(0, 0, 64, 24));
    Add(KindDSign, QRect(0, 30, 64, 64));
    ElementPicture* button = views->Quel_Button_Image[0];
    ElementPicture* dsign = views->Quel_SignD_Image[0];

    views->ShowDigital(KindButton, 0, true);
    EXPECT_EQ(button->Picture().width(), 4);
    views->ShowDigital(KindButton, 0, false);
    EXPECT_EQ(button->Picture().width(), 3);
    views->ClearPicture(KindButton, 0);
    EXPECT_FALSE(button->HasPicture());

    views->ShowDigital(KindDSign, 0, false);
    EXPECT_EQ(dsign->Picture().width(), 5);
    views->ShowDigital(KindDSign, 0, true); // damaged file: cleared
    EXPECT_FALSE(dsign->HasPicture());
    records.ES_DSigns[0].sI_ImgH = dir.path(); // a directory
    views->ShowDigital(KindDSign, 0, false);
    views->ShowDigital(KindDSign, 0, true);
    EXPECT_FALSE(dsign->HasPicture());
}

TEST_F(PictureRulesTest, PictureFormatsAndSymbolicLinks) {
    QImage img(6, 2, QImage::Format_RGB32);
    img.fill(Qt::blue);
    auto* pic = new ElementPicture(window.get());
    const QList<QByteArray> supported = QImageWriter::supportedImageFormats();
    for (const char* format : {"bmp", "png", "ico", "tiff"}) {
        if (!supported.contains(format)) {
            EXPECT_STRNE(format, "bmp");
            EXPECT_STRNE(format, "png");
            continue;
        }
        const QString path = dir.filePath(QString("pic.%1").arg(format));
        ASSERT_TRUE(img.save(path, format)) << format;
        pic->ClearPicture();
        EXPECT_TRUE(PanelViews::LoadPictureFile(pic, path)) << format;
        EXPECT_EQ(pic->Picture().size(), QSize(6, 2)) << format;
    }
    const QString link = dir.filePath("link.png");
    ASSERT_TRUE(QFile::link(dir.filePath("pic.png"), link));
    pic->ClearPicture();
    EXPECT_TRUE(PanelViews::LoadPictureFile(pic, link));
    QFile::remove(dir.filePath("pic.png")); // dangling link: cleared
    EXPECT_FALSE(PanelViews::LoadPictureFile(pic, link));
    EXPECT_FALSE(pic->HasPicture());
    EXPECT_FALSE(PanelViews::LoadPictureFile(pic, QString()));
}

} // namespace

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(PictureRulesTest, PictureFilesAreReadOnceAndUnchangedStatesNotRedrawn) {
    records.Append(KindDSign);
    records.Append(KindDSign);
    for (TES_DSign& d : records.ES_DSigns) {
        d.sI_ImgL = Png("off.png", 3);
        d.sI_ImgH = Png("on.png", 4);
    }
    Add(KindDSign, QRect(0, 0, 64, 64));
    Add(KindDSign, QRect(70, 0, 64, 64));
    ElementPicture* first = views->Quel_SignD_Image[0];
    ElementPicture* second = views->Quel_SignD_Image[1];
    PaintCounter counter;
    first->installEventFilter(&counter);

    views->ShowDigital(KindDSign, 0, true);
    views->ShowDigital(KindDSign, 1, true);
    // One decoded picture shared by both elements.
    EXPECT_EQ(first->Picture().cacheKey(), second->Picture().cacheKey());
    QApplication::processEvents();
    const qint64 shown = first->Picture().cacheKey();
    counter.paints = 0;
    views->ShowDigital(KindDSign, 0, true); // same state: nothing to draw
    QApplication::processEvents();
    EXPECT_EQ(first->Picture().cacheKey(), shown);
    EXPECT_EQ(counter.paints, 0);
    views->ShowDigital(KindDSign, 0, false); // changed: drawn
    QApplication::processEvents();
    EXPECT_EQ(first->Picture().width(), 3);
    EXPECT_GT(counter.paints, 0);

    // The file changes on disk: read again. (A new time, in case the size stays.)
    auto rewrite = [this](int width, int secs) {
        QFile f(Png("on.png", width));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addSecs(secs), QFileDevice::FileModificationTime));
    };
    rewrite(9, 10);
    views->ShowDigital(KindDSign, 0, true);
    EXPECT_EQ(first->Picture().width(), 9);
    // The file goes: no picture; it comes back: shown again.
    ASSERT_TRUE(QFile::remove(dir.filePath("on.png")));
    views->ShowDigital(KindDSign, 0, true);
    EXPECT_FALSE(first->HasPicture());
    rewrite(5, 20);
    views->ShowDigital(KindDSign, 0, true);
    EXPECT_EQ(first->Picture().width(), 5);
}
