// Start-up: which windows each first argument creates, in which order, with
// which captions and sizes; and the help button of the windows that have one.
#include "app/StartUp.h"
#include "core/base/InterfaceTexts.h"
#include "gui/common/HelpSupport.h"
#include "gui/common/Platform.h"
#include "gui/maintenance/ExtendedWindow.h"
#include "gui/maintenance/ResourcesWindow.h"
#include "gui/maintenance/SettingsWindow.h"
#include "gui/maintenance/UpdateWindow.h"
#include "gui/panel/PanelWindow.h"
#include "gui/toolbox/ToolboxWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace quelnet;

namespace {

struct ModeRow {
    QStringList args; // after the program name
    QStringList order;
    const char* captionAfterShow;
    QSize clientSize;
};

// The case as the test listings show it: the command line.
void PrintTo(const ModeRow& row, std::ostream* os) {
    *os << "quelnet " << row.args.join(' ').toStdString();
}

class StartUpModes : public ::testing::TestWithParam<ModeRow> {};

TEST_P(StartUpModes, CreatesTheWindowsOfTheMode) {
    const ModeRow& row = GetParam();
    ModeWindows w = CreateModeWindows(QStringList{"quelnet"} + row.args);
    EXPECT_EQ(w.creationOrder, row.order);
    ASSERT_TRUE(w.mainWindow);
    ASSERT_TRUE(w.common);
    EXPECT_FALSE(w.mainWindow->isVisible());
    if (w.panel) {
        EXPECT_EQ(w.panel->EditMode, row.order.contains("fmQuelnetTool"));
        EXPECT_EQ(w.panel->Common(), w.common.get());
    }
    if (w.tool) {
        EXPECT_FALSE(w.tool->isVisible());
        EXPECT_TRUE(w.tool->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_NEAR(w.tool->windowOpacity(), 240.0 / 255.0, 0.01);
        EXPECT_EQ(w.tool->windowTitle(), QString::fromUtf8("Narzędzia"));
    }
    EXPECT_EQ(w.mainWindow->size(), row.clientSize);
    w.mainWindow->show();
    QApplication::processEvents();
    EXPECT_EQ(w.mainWindow->windowTitle(), QString::fromUtf8(row.captionAfterShow));
    EXPECT_EQ(w.mainWindow->font().family(), "Tahoma");
}

const QStringList kEditor{"fmVQuelnet", "fmQuelnetTool", "fmCommon"};
const QStringList kRun{"fmVQuelnet", "fmCommon"};

INSTANTIATE_TEST_SUITE_P(
    Modes, StartUpModes,
    ::testing::Values(ModeRow{{"-k"}, kEditor, "Wirtualny Quelnet 4.0.1f - Edycja", {700, 382}},
                      ModeRow{
                          {"-k", "more", "args"}, kEditor, "Wirtualny Quelnet 4.0.1f - Edycja", {700, 382}},
                      ModeRow{{"-u"}, {"fmUpdate", "fmCommon"}, "Aktualizacja quelnet-a", {726, 290}},
                      ModeRow{{"-r"}, {"fmResources", "fmCommon"}, "Zasoby quelnet-a", {719, 290}},
                      ModeRow{{"-b"}, {"fmSettings", "fmCommon"}, "Ustawienia quelneta", {711, 286}},
                      ModeRow{{"-x"}, {"fmExtended", "fmCommon"}, "Rozszerzenia", {681, 351}},
                      ModeRow{{}, kRun, "Wirtualny Quelnet 4.0.1f", {700, 382}},
                      ModeRow{{"-K"}, kRun, "Wirtualny Quelnet 4.0.1f", {700, 382}},
                      ModeRow{{"-kx"}, kRun, "Wirtualny Quelnet 4.0.1f", {700, 382}},
                      ModeRow{{"s"}, kRun, "Wirtualny Quelnet 4.0.1f", {700, 382}}),
    [](const auto& info) { return "row" + std::to_string(info.index); });

// The update window's service mode is the second argument, exactly.
TEST(StartUpServiceMode, SecondArgumentOfTheUpdateWindow) {
    const std::pair<QStringList, bool> rows[] = {
        {{"-u", "-dravin"}, true},       {{"-u"}, false},
        {{"-u", "-Dravin"}, false},      {{"-u", "-dravinx"}, false},
        {{"-u", "x", "-dravin"}, false},
    };
    for (const auto& [args, service] : rows) {
        ModeWindows w = CreateModeWindows(QStringList{"quelnet"} + args);
        ASSERT_TRUE(w.update) << args.join(' ').toStdString();
        EXPECT_EQ(w.update->ServiceMode(), service) << args.join(' ').toStdString();
    }
    ModeWindows panel = CreateModeWindows({"quelnet", "-dravin"});
    EXPECT_EQ(panel.mode, AppMode::PanelRun);
}

// The fixed dialog border asks for a title bar with the close button only; the
// editor's sizeable border keeps the usual buttons.
TEST(StartUpBorders, FixedDialogWindowsOfferOnlyClose) {
    const Qt::WindowFlags offered = Qt::WindowMinMaxButtonsHint | Qt::WindowFullscreenButtonHint;
    auto onlyClose = [&](const QWidget* window) {
        const Qt::WindowFlags f = window->windowFlags();
        return !(f & offered) && (f & Qt::CustomizeWindowHint) && (f & Qt::WindowCloseButtonHint);
    };
    for (const QStringList& args : {QStringList{"-u"}, {"-r"}, {"-b"}, {"-x"}, {}}) {
        ModeWindows w = CreateModeWindows(QStringList{"quelnet"} + args);
        w.mainWindow->show();
        EXPECT_TRUE(onlyClose(w.mainWindow)) << args.join(' ').toStdString();
        EXPECT_EQ(w.mainWindow->windowType(), Qt::Dialog) << args.join(' ').toStdString();
    }
    ModeWindows editor = CreateModeWindows({"quelnet", "-k"});
    editor.mainWindow->show();
    EXPECT_FALSE(editor.mainWindow->windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_EQ(editor.mainWindow->windowType(), Qt::Window);
    EXPECT_TRUE(onlyClose(editor.tool));
    EXPECT_EQ(editor.tool->windowType(), Qt::Tool);
}

// Qt's own texts (standard buttons, file dialogs) speak Polish like the program.
TEST(StartUpTexts, QtDialogsArePolishAfterStartUp) {
    PrepareApplication();
    QMessageBox box(QMessageBox::Question, "Pytanie", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&').toStdString(), "Tak");
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove('&').toStdString(), "Nie");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove('&').toStdString(), "Anuluj");

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QLabel* lookIn = dialog.findChild<QLabel*>("lookInLabel");
    ASSERT_NE(lookIn, nullptr);
    EXPECT_EQ(lookIn->text().toStdString(), "Szukaj w:");
}

// Records what would have been opened and shown instead of a browser and a box.
class HelpRecorder : public ::testing::Test {
protected:
    void SetUp() override {
        Platform().OpenUrl = [this](const QUrl& url) {
            opened << url;
            return openSucceeds;
        };
        Platform().MessageBox = [this](QWidget*, QMessageBox::Icon, const QString&, const QString& text,
                                       QMessageBox::StandardButtons) {
            messages << text;
            return QMessageBox::Ok;
        };
    }
    void TearDown() override { RestoreDefaultPlatform(); }

    QToolButton* helpButton(QWidget* window) {
        return window->findChild<QToolButton*>("HelpButton", Qt::FindDirectChildrenOnly);
    }

    QList<QUrl> opened;
    QStringList messages;
    bool openSucceeds = true;
};

TEST_F(HelpRecorder, EachWindowOpensItsOwnPage) {
    struct Row {
        const char* arg;
        const char* fragment;
    };
    for (const Row& r : {Row{"-k", "k"}, Row{"-u", "u"}, Row{"-r", "r"}, Row{"-b", "b"}}) {
        opened.clear();
        messages.clear();
        ModeWindows w = CreateModeWindows({"quelnet", r.arg});
        w.mainWindow->show();
        QApplication::processEvents();
        QToolButton* button = helpButton(w.mainWindow);
        ASSERT_NE(button, nullptr) << r.arg;
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(opened.size(), 1) << r.arg;
        EXPECT_EQ(opened[0].scheme(), "http");
        EXPECT_EQ(opened[0].path(), "/pc-pl4/index.html");
        EXPECT_EQ(opened[0].fragment(), r.fragment);
        EXPECT_EQ(messages, QStringList{QString::fromUtf8("Pomoc udostępniona w przeglądarce.")});
    }
}

TEST_F(HelpRecorder, F1OpensTheSamePage) {
    ModeWindows w = CreateModeWindows({"quelnet", "-u"});
    w.mainWindow->show();
    QApplication::setActiveWindow(w.mainWindow);
    QApplication::processEvents();
    QTest::keyClick(w.mainWindow, Qt::Key_F1);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].fragment(), "u");
}

TEST_F(HelpRecorder, NoHelpInRunModeToolboxAndExtensions) {
    ModeWindows run = CreateModeWindows({"quelnet"});
    run.mainWindow->show();
    QApplication::processEvents();
    EXPECT_EQ(helpButton(run.mainWindow), nullptr);
    ModeWindows ext = CreateModeWindows({"quelnet", "-x"});
    EXPECT_EQ(helpButton(ext.mainWindow), nullptr);
    ModeWindows editor = CreateModeWindows({"quelnet", "-k"});
    EXPECT_EQ(helpButton(editor.tool), nullptr);
}

TEST_F(HelpRecorder, FailedOpenShowsNothingAndReleaseElsewhereOpensNothing) {
    ModeWindows w = CreateModeWindows({"quelnet", "-b"});
    w.mainWindow->show();
    QApplication::processEvents();
    QToolButton* button = helpButton(w.mainWindow);
    ASSERT_NE(button, nullptr);

    openSucceeds = false;
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(messages.isEmpty());

    opened.clear();
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_TRUE(opened.isEmpty());
}

// The help button's hint and the title of the box that follows are texts of
// the interface text table like every other.
TEST_F(HelpRecorder, HintAndTitleComeFromTheTextTable) {
    QStringList titles;
    Platform().MessageBox = [&titles](QWidget*, QMessageBox::Icon, const QString& title, const QString&,
                                      QMessageBox::StandardButtons) {
        titles << title;
        return QMessageBox::Ok;
    };
    ModeWindows w = CreateModeWindows({"quelnet", "-r"});
    w.mainWindow->show();
    QApplication::processEvents();
    QToolButton* button = helpButton(w.mainWindow);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), Pl(lt::HelpButtonHint));
    EXPECT_EQ(Pl(lt::HelpButtonHint), "Pomoc (F1)");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(titles, QStringList{Pl(lt::HelpTitle)});
    EXPECT_EQ(Pl(lt::HelpTitle), "Quelnet");
}

} // namespace
