// The toolbox window driven with real mouse and key events: palette, page
// widths, drag start, and the parameter sheet writing the panel's records.
#include "gui/panel/PanelWindow.h"
#include "gui/toolbox/PaletteList.h"
#include "gui/toolbox/ParameterSheet.h"
#include "gui/toolbox/PictureDialog.h"
#include "gui/toolbox/SheetCell.h"
#include "gui/toolbox/ToolboxWindow.h"
#include "tests/support/Named.h"

#include <QApplication>
#include <QDrag>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

using namespace quelnet;

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

class ToolboxWindow : public ::testing::Test {
protected:
    void SetUp() override {
        tool.SetRecords(&panel.Records);
        tool.show();
        QApplication::setActiveWindow(&tool);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&tool));
    }
    void TearDown() override {
        PaletteList::RestoreDefaultRunner();
        RestoreDefaultPictureDialog();
    }

    ParameterSheet& sheet() { return *Named<ParameterSheet>(tool, "ParameterSheet"); }
    SheetCell* cell(int row) { return sheet().Cell(row); }

    // Replaces a cell's text by typing, as the user does: select all, type.
    void type(int row, const QString& text) {
        QLineEdit* edit = cell(row)->LineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // One notch of the mouse wheel over a widget; true when the widget took
    // it (an ignored wheel event goes on to the widget's parents, here the
    // sheet, which scrolls).
    static bool wheel(QWidget* over, int notches) {
        const QPointF at = QRectF(over->rect()).center();
        QWheelEvent e(at, over->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
        return e.isAccepted();
    }
    void clickPicker(int row) { QTest::mouseClick(cell(row)->PickButton(), Qt::LeftButton); }
    // Moves the focus elsewhere in the window, which closes an open picker.
    void leavePicker() { QTest::mouseClick(cell(1)->LineEdit(), Qt::LeftButton); }

    TfmVQuelnet panel;
    TfmQuelnetTool tool;
};

} // namespace

TEST_F(ToolboxWindow, WindowAndPalette) {
    EXPECT_EQ(tool.windowTitle(), "Narzędzia");
    EXPECT_TRUE(tool.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_NEAR(tool.windowOpacity(), 240.0 / 255.0, 0.01);
    EXPECT_EQ(Named<QLabel>(tool, "StaticText1")->text(), " Przeciągaj elementy z palety");
    EXPECT_EQ(Named<QTabWidget>(tool, "PageControl1")->tabText(0), "Przybornik");
    EXPECT_EQ(Named<QTabWidget>(tool, "PageControl1")->tabText(1), "Parametry");
    EXPECT_EQ(Named<QLabel>(tool, "StaticText2")->text(), "Kliknij element do edycji");

    PaletteList* list = Named<PaletteList>(tool, "ListView1");
    const QStringList captions{"Przycisk sterujący", "Wskaźnik cyfrowy", "Wskaźnik analogowy",
                               "Etykieta tekstowa", "Zadajnik analogowy"};
    ASSERT_EQ(list->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list->item(i)->text(), captions[i]);
        EXPECT_FALSE(list->item(i)->icon().pixmap(32, 32).isNull()) << "icon " << i;
        EXPECT_FALSE(list->item(i)->flags() & Qt::ItemIsEditable);
    }
    EXPECT_EQ(list->iconSize(), QSize(32, 32));
    EXPECT_TRUE(list->selectedItems().isEmpty());

    // Every show rebuilds the list with nothing selected.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(list->selectedItems().size(), 1);
    tool.close();
    tool.show();
    EXPECT_EQ(list->count(), 5);
    EXPECT_TRUE(list->selectedItems().isEmpty());
}

TEST_F(ToolboxWindow, WidthFollowsThePage) {
    EXPECT_EQ(tool.size(), QSize(170, 392));
    QTabBar* tabs = Named<QTabWidget>(tool, "PageControl1")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_EQ(Named<QTabWidget>(tool, "PageControl1")->currentIndex(), 1);
    EXPECT_EQ(tool.size(), QSize(380, 392));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(tool.size(), QSize(170, 392));

    tool.ShowParams(255, 0);
    EXPECT_EQ(Named<QTabWidget>(tool, "PageControl1")->currentIndex(), 1);
    EXPECT_EQ(tool.size(), QSize(380, 392));
    tool.ShowPalette();
    EXPECT_EQ(Named<QTabWidget>(tool, "PageControl1")->currentIndex(), 0);
    EXPECT_EQ(tool.size(), QSize(170, 392));
}

TEST_F(ToolboxWindow, DragStartRecordsTheItemPressed) {
    struct Seen {
        QObject* source = nullptr;
        QByteArray data;
        int drags = 0;
    } seen;
    PaletteList::Runner() = [&](QDrag* drag) {
        ++seen.drags;
        seen.source = drag->source();
        seen.data = drag->mimeData()->data(PaletteMimeType);
    };
    PaletteList* list = Named<PaletteList>(tool, "ListView1");
    QWidget* vp = list->viewport();
    // Press, then move the mouse a few pixels at a time until beyond the drag distance.
    const auto pressAndPull = [vp](QPoint from) {
        QTest::mousePress(vp, Qt::LeftButton, {}, from);
        QPoint at = from;
        for (int i = 0; i < QApplication::startDragDistance() + 4; i += 2) {
            at += QPoint(2, -1);
            QTest::mouseMove(vp, at);
        }
        QTest::mouseRelease(vp, Qt::LeftButton, {}, at);
    };

    pressAndPull(list->visualItemRect(list->item(KindText)).center());
    EXPECT_EQ(seen.drags, 1);
    EXPECT_EQ(tool.ObjectType, KindText);
    EXPECT_TRUE(TfmQuelnetTool::IsPalette(seen.source));
    EXPECT_EQ(seen.data, "3");

    // Pressing beside the items selects none: the drag records -1.
    const QPoint empty(5, vp->height() - 5);
    ASSERT_EQ(list->itemAt(empty), nullptr);
    pressAndPull(empty);
    EXPECT_EQ(seen.drags, 2);
    EXPECT_EQ(tool.ObjectType, -1);
    EXPECT_EQ(seen.data, "-1");

    EXPECT_FALSE(TfmQuelnetTool::IsPalette(&tool));
    EXPECT_FALSE(TfmQuelnetTool::IsPalette(nullptr));
}

TEST_F(ToolboxWindow, ButtonEditsGoStraightIntoTheRecord) {
    panel.Records.ES_Buttons.resize(2);
    panel.Records.ES_Buttons[0].sHost = "10.0.0.5";
    panel.Records.ES_Buttons[1].sHost = "10.0.0.6";
    panel.Records.ES_Buttons[1].sO_Mode = 2;
    panel.Records.ES_Buttons[1].sI_Refr = 250;
    tool.ShowParams(KindButton, 1);
    EXPECT_EQ(Named<QLabel>(sheet(), "StaticText2")->text(), "Edytujesz - Przycisk sterujący");
    ASSERT_EQ(sheet().RowCount(), 11);
    EXPECT_EQ(sheet().RowName(5), "Kliknięcie - sposób działania");
    EXPECT_EQ(sheet().RowValue(5), "Przełącz");
    EXPECT_EQ(Named<QTableWidget>(sheet(), "ValueListEditor1")->columnWidth(0), 208);
    EXPECT_EQ(Named<QTableWidget>(sheet(), "ValueListEditor1")->horizontalHeaderItem(1)->text(), "Wartość");
    EXPECT_FALSE(Named<QTableWidget>(sheet(), "ValueListEditor1")->item(0, 0)->flags() & Qt::ItemIsEditable);

    // Row 1 offers the hosts of the panel in order of first use.
    QComboBox* hosts = cell(1)->Combo();
    ASSERT_NE(hosts, nullptr);
    ASSERT_EQ(hosts->count(), 2);
    EXPECT_EQ(hosts->itemText(0), "10.0.0.5");
    EXPECT_EQ(hosts->itemText(1), "10.0.0.6");

    TES_Button& b = panel.Records.ES_Buttons[1];
    QComboBox* mode = cell(5)->Combo();
    EXPECT_TRUE(mode->lineEdit()->isReadOnly()); // fixed list
    mode->setFocus();
    QTest::keyClick(mode, Qt::Key_Up); // "Przełącz" -> "Włącz"
    EXPECT_EQ(sheet().RowValue(5), "Włącz");
    EXPECT_EQ(b.sO_Mode, 1);

    type(2, "70000");
    EXPECT_EQ(b.sPort, 4464);
    EXPECT_EQ(sheet().RowValue(2), "70000"); // shown as typed; nothing is refreshed
    type(10, "abc");
    EXPECT_EQ(b.sI_Refr, 0u);
    type(1, "host.local");
    EXPECT_EQ(b.sHost, "host.local");
    type(11, "Start");
    EXPECT_EQ(b.sCaption, "Start");
    EXPECT_EQ(panel.Records.ES_Buttons[0].sHost, "10.0.0.5"); // other slots untouched
}

// Scrolling the long sheet of an analog indicator with the wheel passes over
// the drop-down rows: they leave their values alone and pass the wheel on to
// the sheet unless the user is working in them (they have the focus). Nor
// does the wheel give them the focus, as it would a combo box by default.
TEST_F(ToolboxWindow, WheelOverTheSheetChangesNoValue) {
    panel.Records.ES_ASigns.resize(2);
    panel.Records.ES_ASigns[0].sHost = "10.0.0.5";
    panel.Records.ES_ASigns[1].sHost = "10.0.0.6";
    tool.ShowParams(KindASign, 1);
    ASSERT_EQ(sheet().RowCount(), 23);
    cell(4)->LineEdit()->setFocus(); // the user was typing the circuit

    const TES_ASign& a = panel.Records.ES_ASigns[1];
    for (int row : {1, 5}) {
        SCOPED_TRACE(row);
        QComboBox* combo = cell(row)->Combo();
        ASSERT_NE(combo, nullptr);
        const QString before = sheet().RowValue(row);
        EXPECT_FALSE(wheel(combo->lineEdit(), 1)); // up, over the text of the cell
        EXPECT_FALSE(wheel(combo, -1));            // down, over its arrow
        EXPECT_EQ(sheet().RowValue(row), before);
        EXPECT_NE(combo->focusPolicy() & Qt::WheelFocus, Qt::WheelFocus);
    }
    EXPECT_EQ(a.sHost, "10.0.0.6");
    EXPECT_EQ(a.sI_Conn, 0);

    // A drop-down the user works in takes the wheel as a drop-down does.
    cell(5)->Combo()->setFocus();
    EXPECT_TRUE(wheel(cell(5)->Combo(), -1));
    EXPECT_EQ(sheet().RowValue(5), "Do wyjścia elementu");
    EXPECT_EQ(a.sI_Conn, 1);
}

TEST_F(ToolboxWindow, SliderRulesWriteOnlyTheRecord) {
    panel.Records.ES_Tracks.resize(1);
    TES_Track& t = panel.Records.ES_Tracks[0];
    t.sSteps = 10;
    t.sStartVal = 0;
    t.sStepVal = 1;
    t.sStopVal = 10;
    tool.ShowParams(KindTrack, 0);
    ASSERT_EQ(sheet().RowCount(), 10);

    type(10, "5");
    EXPECT_FLOAT_EQ(t.sStepVal, 0.5f);
    type(7, "0");
    EXPECT_EQ(t.sSteps, 1);
    EXPECT_FLOAT_EQ(t.sStepVal, 5.0f);
    type(8, "2");
    EXPECT_FLOAT_EQ(t.sStopVal, 7.0f);
    // The rows keep what they showed or what was typed, until the sheet is filled again.
    EXPECT_EQ(sheet().RowValue(7), "0");
    EXPECT_EQ(sheet().RowValue(9), "1,0000");
    EXPECT_EQ(sheet().RowValue(10), "5");
    tool.ShowParams(KindTrack, 0);
    EXPECT_EQ(sheet().RowValue(7), "1");
    EXPECT_EQ(sheet().RowValue(9), "5,0000");
    EXPECT_EQ(sheet().RowValue(10), "7,0000");
}

TEST_F(ToolboxWindow, ColourPicker) {
    panel.Records.Append(KindText);
    tool.ShowParams(KindText, 0);
    EXPECT_EQ(Named<QLabel>(sheet(), "StaticText2")->text(), "Edytujesz - Etykieta tekstowa");
    EXPECT_EQ(sheet().RowValue(4), "$00000000");

    clickPicker(4);
    QComboBox* box = sheet().ColorBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->geometry(),
              Named<QTableWidget>(sheet(), "ValueListEditor1")
                  ->visualRect(Named<QTableWidget>(sheet(), "ValueListEditor1")->model()->index(3, 1)));
    EXPECT_EQ(box->currentData().toUInt(), 0u); // black selected
    box->setCurrentIndex(box->findText("Czerwony"));
    leavePicker();
    EXPECT_EQ(sheet().ColorBox(), nullptr);
    EXPECT_EQ(panel.Records.ES_Texts[0].sFontColor, 255u);
    EXPECT_EQ(sheet().RowValue(4), "$000000FF");

    // A typed colour that no entry has: nothing selected, the system flag is stored.
    type(4, "$12345678");
    EXPECT_EQ(panel.Records.ES_Texts[0].sFontColor, 255u); // typing stores nothing
    clickPicker(4);
    ASSERT_NE(sheet().ColorBox(), nullptr);
    EXPECT_EQ(sheet().ColorBox()->currentIndex(), -1);
    leavePicker();
    EXPECT_EQ(panel.Records.ES_Texts[0].sFontColor, 0xFF000000u);
    EXPECT_EQ(sheet().RowValue(4), "$FF000000");
}

// Each colour of the box, the desktop's system colours included, is the
// colour a label chosen in it shows on the panel: the swatch does not promise
// one colour while the panel draws another.
TEST_F(ToolboxWindow, ColourBoxSwatchesAreTheColoursLabelsShow) {
    panel.Records.Append(KindText);
    tool.ShowParams(KindText, 0);
    clickPicker(4);
    QComboBox* box = sheet().ColorBox();
    ASSERT_NE(box, nullptr);
    int systemColours = 0;
    for (int i = 0; i < box->count(); ++i) {
        const TColor colour = box->itemData(i).value<TColor>();
        systemColours += (colour >> 24) == 0xFF;
        panel.Records.ES_Texts[0].sFontColor = colour;
        panel.Views().CreateElementViews(KindText, 0, QRect(0, 0, 128, 16));
        const QWidget* label = panel.Views().PrincipalControl(KindText, 0);
        ASSERT_NE(label, nullptr);
        const QColor shown = label->palette().color(QPalette::Active, QPalette::WindowText);
        const QColor swatch = box->itemIcon(i).pixmap(16, 12).toImage().pixelColor(8, 6);
        EXPECT_EQ(swatch.name(QColor::HexArgb).toStdString(), shown.name(QColor::HexArgb).toStdString())
            << box->itemText(i).toStdString() << " $" << std::hex << colour;
        panel.Views().DestroyElementControls(KindText, 0);
    }
    EXPECT_GE(systemColours, 25);
}

TEST_F(ToolboxWindow, ColourPickedFromTheBoxsOwnList) {
    // A mouse press on the box opens its list, which takes the focus from the
    // box: that is not leaving the picker, the user is about to choose.
    panel.Records.Append(KindText);
    tool.ShowParams(KindText, 0);
    clickPicker(4);
    QComboBox* box = sheet().ColorBox();
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_EQ(sheet().ColorBox(), box) << "the picker closed when its list opened";
    ASSERT_TRUE(box->view()->isVisible());
    EXPECT_EQ(panel.Records.ES_Texts[0].sFontColor, 0u);

    box->view()->setCurrentIndex(box->model()->index(box->findText("Czerwony"), 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    EXPECT_FALSE(box->view()->isVisible());
    EXPECT_EQ(sheet().ColorBox(), box);
    leavePicker();
    EXPECT_EQ(sheet().ColorBox(), nullptr);
    EXPECT_EQ(panel.Records.ES_Texts[0].sFontColor, 255u);
    EXPECT_EQ(sheet().RowValue(4), "$000000FF");
}

TEST_F(ToolboxWindow, YesNoPicker) {
    panel.Records.Append(KindText);
    TES_Text& t = panel.Records.ES_Texts[0];
    tool.ShowParams(KindText, 0);

    type(5, "Tak"); // typing into the bold row changes only what the sheet shows
    EXPECT_FALSE(t.sFontBold);
    clickPicker(5);
    QCheckBox* check = sheet().CheckBox();
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(check->text(), "Czcionka - pogrubienie");
    EXPECT_TRUE(check->hasFocus());
    leavePicker();
    EXPECT_EQ(sheet().CheckBox(), nullptr);
    EXPECT_TRUE(t.sFontBold);
    EXPECT_EQ(sheet().RowValue(5), "Tak");

    clickPicker(8); // strike-out, "Nie": toggled with the space bar
    ASSERT_NE(sheet().CheckBox(), nullptr);
    EXPECT_FALSE(sheet().CheckBox()->isChecked());
    QTest::keyClick(sheet().CheckBox(), Qt::Key_Space);
    leavePicker();
    EXPECT_TRUE(t.sFontStrike);
    EXPECT_EQ(sheet().RowValue(8), "Tak");
    EXPECT_FALSE(t.sFontItalic || t.sFontUnder);
}

TEST_F(ToolboxWindow, PictureDialog) {
    panel.Records.ES_ASigns.resize(1);
    panel.Records.ES_ASigns[0].sI_Img[0] = "/pictures/old.png";
    struct {
        QWidget* owner = nullptr;
        QString fileName;
        QString filter;
    } asked;
    std::optional<QString> answer = QString("/pictures/new.bmp");
    PictureDialog() = [&](QWidget* owner, const QString& fileName, const QString& filter) {
        asked = {owner, fileName, filter};
        return answer;
    };
    tool.ShowParams(KindASign, 0);
    ASSERT_EQ(sheet().RowCount(), 23);
    clickPicker(8); // picture of level 1
    EXPECT_EQ(asked.owner, Named<QTableWidget>(sheet(), "ValueListEditor1"));
    EXPECT_EQ(asked.fileName, "/pictures/old.png");
    for (const char* pattern : {"*.bmp", "*.png", "*.ico"})
        EXPECT_TRUE(asked.filter.contains(pattern)) << pattern;
    EXPECT_EQ(panel.Records.ES_ASigns[0].sI_Img[0], "/pictures/new.bmp");
    EXPECT_EQ(sheet().RowValue(8), "/pictures/new.bmp");

    answer.reset(); // cancelled
    clickPicker(6);
    EXPECT_TRUE(panel.Records.ES_ASigns[0].sI_ImgD.isEmpty());
    EXPECT_TRUE(sheet().RowValue(6).isEmpty());
}

TEST_F(ToolboxWindow, FontRowsOfferInstalledFontsAndSizes) {
    panel.Records.Append(KindText);
    tool.ShowParams(KindText, 0);
    QComboBox* fonts = cell(2)->Combo();
    ASSERT_NE(fonts, nullptr);
    EXPECT_TRUE(fonts->lineEdit()->isReadOnly());
    EXPECT_EQ(fonts->count(), QFontDatabase::families().size());
    QComboBox* sizes = cell(3)->Combo();
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(sizes->count(), 16);
    EXPECT_EQ(sheet().RowValue(3), "8");
    type(3, "14");
    EXPECT_EQ(panel.Records.ES_Texts[0].sFontSize, 14);
}

TEST_F(ToolboxWindow, ShowParams255EmptiesTheSheet) {
    panel.Records.Append(KindButton);
    tool.ShowParams(KindButton, 0);
    ASSERT_GT(sheet().RowCount(), 0);
    tool.ShowParams(255, 0);
    EXPECT_EQ(sheet().RowCount(), 0);
    EXPECT_EQ(Named<QLabel>(sheet(), "StaticText2")->text(), "Wskaż element do edycji");
}

TEST_F(ToolboxWindow, RefillingClosesAnOpenPickerAndKeepsItsChoice) {
    panel.Records.Append(KindText);
    panel.Records.Append(KindButton);
    tool.ShowParams(KindText, 0);
    clickPicker(4);
    ASSERT_NE(sheet().ColorBox(), nullptr);
    sheet().ColorBox()->setCurrentIndex(sheet().ColorBox()->findText("Niebieski"));
    tool.ShowParams(KindButton, 0); // the editor ends the edit while the box is open
    EXPECT_EQ(sheet().ColorBox(), nullptr);
    EXPECT_EQ(panel.Records.ES_Texts[0].sFontColor, 0x00FF0000u);
    EXPECT_TRUE(panel.Records.ES_Buttons[0].sHost.isEmpty());
}
