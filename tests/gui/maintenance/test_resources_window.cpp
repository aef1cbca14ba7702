// The resources window driven like a user would: the sixteen resource rows,
// choosing and removing files with the free space after each, and an
// installation into a simulated controller, with scripted dialogs.
#include "tests/core/link/SimFixture.h"
#include "tests/support/ProgramPackage.h"
#include "tests/support/ScriptedDialogs.h"

#include "gui/maintenance/ResourcesWindow.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace quelnet;
using namespace quelnet::test;

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

const QString DefaultFree = U("Wolna przestrzeń : 151kBi");

class ResourcesWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseProgramPackage(); }

    ResourcesWindowTest() {
        TfmCommon::Timeouts t;
        t.RetryPause = 1;
        t.Identify = 500;
        common.SetTimeouts(t);
        window.SetCommon(&common);
        window.SetDialogs(&dialogs, &dialogs);
    }
    QString File(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QLabel* Label(const QString& name) { return window.findChild<QLabel*>(name); }
    QString Status() { return Label("StaticText2")->text(); }
    void Click(const QString& name) {
        QWidget* w = window.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name.toStdString();
        QTest::mouseClick(w, Qt::LeftButton);
    }

    TfmCommon common;
    TfmResources window;
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
};

} // namespace

TEST_F(ResourcesWindowTest, DesignedControls) {
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), "Zasoby quelnet-a");
    EXPECT_EQ(window.size(), QSize(719, 290));
    const std::pair<const char*, const char*> texts[] = {
        {"Label1", "Adres QuelNet-a"},
        {"Edit1", "192.168.0.177"},
        {"Label2", "Port TCP"},
        {"Edit2", "7080"},
        {"Label3", "Hasło sterowania"},
        {"Edit3", "3958"},
        {"StaticText1", "Proszę zamontować w QuelNet-ie zworę odblokowującą programowanie."},
        {"Button1", "Załaduj zasoby"},
    };
    QStringList names = {"ProgressBar1", "StaticText2"};
    for (const auto& [name, text] : texts) {
        names << name;
        QWidget* w = window.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name;
        const QVariant shown = w->property("text");
        EXPECT_EQ(shown.toString(), U(text)) << name;
    }
    for (const char* kind : {"U", "S"}) {
        for (int k = 1; k <= 8; ++k) {
            const QString id = kind + QString::number(k);
            SCOPED_TRACE(id.toStdString());
            ASSERT_NE(Label(id + "Name"), nullptr);
            EXPECT_EQ(Label(id + "Name")->text(), *kind == 'U' ? QString("Strona \"u%1.cgi\"").arg(k)
                                                               : QString("Grafika \"s%1.gif\"").arg(k));
            EXPECT_EQ(Label(id + "Name")->toolTip(), "");
            EXPECT_EQ(Label(id + "Info")->text(), "-");
            for (const char* image : {"Open", "Del"}) {
                auto* button = window.findChild<QToolButton*>(id + image);
                ASSERT_NE(button, nullptr) << image;
                EXPECT_FALSE(button->icon().isNull());
                EXPECT_EQ(button->property("tag").toInt(), k);
            }
            names << id + "Name" << id + "Info" << id + "Open" << id + "Del";
        }
    }
    QList<QWidget*> placed = {window.findChild<QToolButton*>("HelpButton")};
    for (const QString& name : names) {
        QWidget* w = window.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name.toStdString();
        EXPECT_TRUE(w->isVisible()) << name.toStdString();
        EXPECT_TRUE(window.rect().contains(w->geometry())) << name.toStdString();
        for (QWidget* other : placed)
            EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                << name.toStdString() << " " << other->objectName().toStdString();
        placed << w;
    }
    EXPECT_EQ(window.findChild<QLineEdit*>("Edit3")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Status(), DefaultFree); // shown with the window
}

// Every choice, cancel and removal refreshes the free space.
TEST_F(ResourcesWindowTest, ChoosingAndRemovingFiles) {
    window.show();
    const QString page = File("strona.html", QByteArray(2048, 'p'));
    const QString big = File("duza.gif", QByteArray(400 * 1024, 'g'));
    dialogs.paths = {page, std::nullopt, big};

    Click("U3Open");
    EXPECT_EQ(Label("U3Name")->toolTip(), page);
    EXPECT_EQ(Label("U3Info")->text(), "2kBi");
    EXPECT_NE(Status(), DefaultFree);
    const QString withPage = Status();
    EXPECT_TRUE(withPage.startsWith(U("Wolna przestrzeń : ")));

    Label("StaticText2")->setText("x");
    Click("S2Open"); // cancelled
    EXPECT_EQ(Label("S2Info")->text(), "-");
    EXPECT_EQ(Status(), withPage);

    Click("S6Open");
    EXPECT_EQ(Label("S6Info")->text(), "400kBi");
    EXPECT_EQ(Status(), U("Wolna przestrzeń : -")); // does not fit
    EXPECT_EQ(window.Resource().Gif_S[5], big);
    EXPECT_EQ(window.Resource().Html_U[2], page);

    Click("S6Del");
    EXPECT_EQ(Label("S6Info")->text(), "-");
    EXPECT_EQ(Status(), withPage);
    Click("U3Del");
    EXPECT_EQ(Label("U3Name")->toolTip(), "");
    EXPECT_EQ(Status(), DefaultFree);

    ASSERT_EQ(dialogs.choices.size(), 3);
    EXPECT_EQ(dialogs.choices[0].filter, "HTML|*.html|HTM|*.htm|TEXT|*.txt");
    EXPECT_EQ(dialogs.choices[1].filter, "GIF|*.gif");
}

TEST_F(ResourcesWindowTest, InstallIntoTheController) {
    sim::SimThread controller;
    ASSERT_TRUE(controller.Start());
    window.findChild<QLineEdit*>("Edit1")->setText(Loopback);
    window.findChild<QLineEdit*>("Edit2")->setText(QString::number(controller.TcpPort()));
    window.show();
    const QString graphic = File("s.gif", "GIF89a moja grafika");
    dialogs.paths = {graphic};
    Click("S4Open");

    QList<bool> enabled, open;
    QStringList statusAtBox;
    dialogs.onAsk = [&] {
        enabled << window.isEnabled();
        window.close();
        open << window.isVisible();
        statusAtBox << Status();
    };
    Click("Button1");
    EXPECT_EQ(dialogs.messages, QList<Message>({{"Informacja", U("Zasoby zostały załadowane."),
                                                 MessageIcon::Information, MessageButtons::Ok}}));
    EXPECT_EQ(statusAtBox, QStringList{U("Zasoby zostały załadowane.")});
    EXPECT_EQ(enabled, QList<bool>({false}));
    EXPECT_EQ(open, QList<bool>({true}));
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(window.findChild<QProgressBar*>("ProgressBar1")->value(), 0);
    const TUser_Resource chosen = window.Resource();
    EXPECT_EQ(controller.Flash(), GroupImage("PL", "V401f", {}, &chosen));
    EXPECT_NE(controller.Flash().indexOf("GIF89a moja grafika"), -1);

    // Too large: said so, and nothing written.
    dialogs = ScriptedDialogs();
    dialogs.paths = {File("big.html", QByteArray(300 * 1024, 'x'))};
    Click("U1Open");
    const int requests = controller.RequestCount();
    Click("Button1");
    EXPECT_EQ(Status(), U("Wybrane pliki nie mieszczą się w pamięci DataFlash QuelNet-a."));
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(controller.RequestCount(), requests + 1); // the identification
}
