// The update window driven like a user would, against simulated controllers
// over loopback, with scripted boxes in place of the real ones: designed
// controls, the states after identification, the language list, and whole
// updates with the window disabled while they run.
#include "tests/core/link/ScriptedPeer.h"
#include "tests/core/link/SimFixture.h"
#include "tests/support/ProgramPackage.h"
#include "tests/support/ScriptedDialogs.h"

#include "gui/maintenance/DesktopDialogs.h"
#include "gui/maintenance/UpdateWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>

using namespace quelnet;
using namespace quelnet::test;

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

class UpdateWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseProgramPackage(); }

    UpdateWindowTest() {
        TfmCommon::Timeouts t;
        t.RetryPause = 1;
        t.Identify = 500;
        t.RestartWait = 0; // the memo line of the wait holds the update until the simulator is back
        common.SetTimeouts(t);
        common.SetFactoryTarget({Loopback, QString::number(ClosedPort())});
        window.SetCommon(&common);
        window.SetDialogs(&dialogs, &dialogs);
        QObject::connect(Memo(), &QPlainTextEdit::textChanged, [this] { MemoChanged(); });
        window.show();
    }
    void StartController(sim::Generation generation, bool jumper = true, sim::Faults faults = {},
                         int restartDelayMs = 0) {
        sim::SimConfig config;
        config.generation = generation;
        config.jumper = jumper;
        config.faults = faults;
        config.restartDelayMs = restartDelayMs;
        config.password = "kpnv"; // what the oldest controllers' status page wants (Edit4)
        sim = std::make_unique<sim::SimThread>(config);
        ASSERT_TRUE(sim->Start());
        Field("Edit1")->setText(Loopback);
        Field("Edit2")->setText(QString::number(sim->TcpPort()));
        Field("Edit3")->setText(QString::number(ClosedPort()));
    }
    // While the update runs: the window is disabled and refuses to close.
    void MemoChanged() {
        disabledWhileRunning &= !window.isEnabled();
        window.close();
        closeRefused &= window.isVisible();
        if (waitForRestart &&
            MemoLines().value(MemoLines().size() - 1) == U("Oczekiwanie na ponowne połączenie ...")) {
            ASSERT_TRUE(WaitUntil([&] { return sim->Restarts() == 1 && sim->Listening(); }));
        }
    }
    QLineEdit* Field(const char* name) { return window.findChild<QLineEdit*>(name); }
    QPushButton* Button(const char* name) { return window.findChild<QPushButton*>(name); }
    QComboBox* Combo(const char* name) { return window.findChild<QComboBox*>(name); }
    QString Text(const char* name) { return window.findChild<QLabel*>(name)->text(); }
    QPlainTextEdit* Memo() { return window.findChild<QPlainTextEdit*>("Memo1"); }
    QStringList MemoLines() {
        const QString text = Memo()->toPlainText();
        return text.isEmpty() ? QStringList() : text.split('\n');
    }
    QStringList Items(const char* name) {
        QStringList items;
        for (int i = 0; i < Combo(name)->count(); ++i)
            items << Combo(name)->itemText(i);
        return items;
    }
    // ComboBox1, ComboBox2, Button2 enabled; Button1 enabled.
    QList<bool> States() {
        return {Combo("ComboBox1")->isEnabled(), Combo("ComboBox2")->isEnabled(),
                Button("Button2")->isEnabled(), Button("Button1")->isEnabled()};
    }
    void Click(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }

    TfmCommon common;
    TfmUpdate window;
    ScriptedDialogs dialogs;
    std::unique_ptr<sim::SimThread> sim;
    bool disabledWhileRunning = true, closeRefused = true;
    bool waitForRestart = true; // the memo line of the wait holds the update until the simulator is back
};

} // namespace

TEST_F(UpdateWindowTest, DesignedControls) {
    struct Row {
        const char* name;
        const char* className;
        const char* text;
    };
    const Row rows[] = {
        {"Label1", "QLabel", "Adres QuelNet-a"},
        {"Edit1", "QLineEdit", "192.168.0.177"},
        {"Label2", "QLabel", "Port TCP"},
        {"Edit2", "QLineEdit", "7080"},
        {"Label3", "QLabel", "Port HTTP"},
        {"Edit3", "QLineEdit", "80"},
        {"Label4", "QLabel", "Hasło konfiguracji"},
        {"Edit4", "QLineEdit", "kpnv"},
        {"StaticText1", "QLabel", "Proszę zamontować w QuelNet-ie zworę odblokowującą programowanie."},
        {"Button1", "QPushButton", "Połącz i sprawdź QuelNet-a"},
        {"StaticText2", "QLabel", ""},
        {"StaticText3", "QLabel", ""},
        {"Label5", "QLabel", "Do wersji :"},
        {"ComboBox1", "QComboBox", nullptr},
        {"Label6", "QLabel", "Język :"},
        {"ComboBox2", "QComboBox", nullptr},
        {"Button2", "QPushButton", "Aktualizuj"},
        {"StaticText4", "QLabel", "W czasie aktualizacji nie można odłączać QuelNet-a od zasilania."},
        {"Memo1", "QPlainTextEdit", ""},
        {"ProgressBar1", "QProgressBar", nullptr},
    };
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), "Aktualizacja quelnet-a");
    EXPECT_EQ(window.size(), QSize(726, 290));
    QList<QWidget*> placed = {window.findChild<QToolButton*>("HelpButton")};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget* w = window.findChild<QWidget*>(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), row.className);
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(window.rect().contains(w->geometry()));
        for (QWidget* other : placed)
            EXPECT_FALSE(w->geometry().intersects(other->geometry())) << other->objectName().toStdString();
        placed << w;
        if (!row.text)
            continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(label->text(), U(row.text));
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            EXPECT_EQ(edit->text(), U(row.text));
        }
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->text(), U(row.text));
        }
    }
    EXPECT_EQ(Field("Edit4")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(
        Field("Edit4")->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, Field("Edit4")),
        '*');
    EXPECT_EQ(Items("ComboBox1"), QStringList({"V2.1.4", "V4.0.1f"}));
    EXPECT_EQ(Combo("ComboBox1")->currentIndex(), 1);
    EXPECT_EQ(Combo("ComboBox2")->count(), 0);
    EXPECT_EQ(States(), QList<bool>({false, false, false, true}));
    EXPECT_TRUE(Memo()->isReadOnly());
    EXPECT_EQ(window.findChild<QProgressBar*>("ProgressBar1")->value(), 0);
}

// A 4.x controller in normal mode: identified with its language preselected
// and fixed, then updated to V4.0.1f without a question.
TEST_F(UpdateWindowTest, IdentifyThenUpdateWithinVersion4) {
    StartController(sim::Generation::New);
    Click("Button1");
    EXPECT_EQ(Text("StaticText2"), "Wykryto QuelNet-a");
    EXPECT_EQ(Text("StaticText3"), U("Wersja :V4.0.1\nSprzęt :A\nWykonanie :20140612\nNumer :S0817092\n"
                                     "Język :PL\n\nQuelNet jest gotowy do aktualizacji."));
    EXPECT_EQ(Items("ComboBox2"), QStringList({"PL"}));
    EXPECT_EQ(Combo("ComboBox2")->currentText(), "PL");
    EXPECT_EQ(States(), QList<bool>({true, false, true, true}));
    EXPECT_EQ(window.Identity().Ver, "V4.0.1");

    Click("Button2");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(MemoLines(), QStringList({U("Ładowanie programu OK."), U("Ładowanie zawartości DataFlash OK."),
                                        U("Programowanie DataFlash-a OK."), U("Aktualizacja OK."),
                                        U("Restart QuelNet-a."), U("Ponowne łączenie OK."),
                                        U("Zerowanie tekstów OK."), U("Aktualizacja zakończona OK.")}));
    EXPECT_TRUE(disabledWhileRunning);
    EXPECT_TRUE(closeRefused);
    EXPECT_EQ(sim->Settings().EffectiveVersion(), "V4.0.1f");
    EXPECT_EQ(Text("StaticText2"), U("Aktualizacja zakończona OK."));
    EXPECT_EQ(Text("StaticText3"), "");
    EXPECT_EQ(window.findChild<QProgressBar*>("ProgressBar1")->value(), 0);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(States(), QList<bool>({false, false, false, true}));
    EXPECT_EQ(dialogs.alarms, 0);
}

// Service mode: the language can be chosen; a change of target version
// refills the list with nothing chosen, and identification does not refill it.
TEST_F(UpdateWindowTest, ServiceModeLanguageList) {
    window.SetServiceMode(true);
    StartController(sim::Generation::Mid);
    Click("Button1");
    EXPECT_EQ(States(), QList<bool>({true, true, true, true}));
    EXPECT_EQ(Combo("ComboBox2")->currentText(), "PL");

    Combo("ComboBox1")->setCurrentIndex(0);
    EXPECT_EQ(Items("ComboBox2"), QStringList({"PL", "LT"}));
    EXPECT_EQ(Combo("ComboBox2")->currentIndex(), -1);
    Click("Button2");
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, U("Proszę wybrać wersję językową."));
    EXPECT_EQ(States(), QList<bool>({false, false, false, true}));

    Click("Button1");
    EXPECT_EQ(Items("ComboBox2"), QStringList({"PL", "LT"}));
    EXPECT_EQ(Combo("ComboBox2")->currentIndex(), -1);
    Combo("ComboBox2")->setCurrentIndex(1);
    dialogs.answers = {false};
    Click("Button2");
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text,
              U("Próbujesz załadować aktualnie zainstalowaną wersję programu. Czy kontynuować ?"));
    EXPECT_EQ(States(), QList<bool>({false, false, false, true}));
    EXPECT_TRUE(MemoLines().isEmpty());
    EXPECT_EQ(sim->Requests().size(), 2); // two identifications
}

TEST_F(UpdateWindowTest, ControllersThatCannotBeUpdatedLeaveTheChoiceDisabled) {
    struct Case {
        const char* what;
        sim::Generation generation;
        bool jumper;
        const char* status;
        const char* lastLine;
    } cases[] = {
        {"jumper missing", sim::Generation::Mid, false, "Wykryto QuelNet-a",
         "Brak zwory zezwalającej na programowanie."},
        {"status page only", sim::Generation::Old, true, "Wykryto QuelNet-a",
         "Program nie może dokonać aktualizacji QuelNet-a w wersji „V1.3”. Należy użyć programu \"Quelnet "
         "V3.1.4\" i zaktualizować QuelNet-a do wersji V2.1.4 i następnie ponowić aktualizację do kolejnej "
         "wersji."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartController(c.generation, c.jumper);
        if (c.generation == sim::Generation::Old) {
            Field("Edit2")->setText(QString::number(ClosedPort()));
            Field("Edit3")->setText(QString::number(sim->HttpPort()));
        }
        Click("Button1");
        EXPECT_EQ(Text("StaticText2"), U(c.status));
        EXPECT_EQ(Text("StaticText3").split('\n').last(), U(c.lastLine));
        EXPECT_EQ(States(), QList<bool>({false, false, false, true}));
        EXPECT_EQ(Combo("ComboBox2")->count(), 0);
    }
    Field("Edit2")->setText(QString::number(ClosedPort()));
    Field("Edit3")->setText(QString::number(ClosedPort()));
    Click("Button1");
    EXPECT_EQ(Text("StaticText2"), U("Nie można wykryć QuelNet-a."));
    EXPECT_EQ(Text("StaticText3"),
              U("Proszę zweryfikować adres QuelNet-a, ustawienia sieciowe komputera itp."));
}

TEST_F(UpdateWindowTest, FailedProgrammingEndsInAStatusThatSaysSo) {
    StartController(sim::Generation::New);
    Click("Button1");
    sim::Faults faults;
    faults.wrongEchoOnPage = {7};
    sim->SetFaults(faults);
    Click("Button2");
    EXPECT_EQ(MemoLines().last(), U("Błąd programowania DataFlash."));
    EXPECT_EQ(Text("StaticText2"), U("Aktualizacja nie powiodła się."));
    EXPECT_EQ(Text("StaticText3"), "");
    EXPECT_EQ(States(), QList<bool>({false, false, false, true}));
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(dialogs.alarms, 0);
}

// A web server that answers anything with "400 Bad Request" is no controller:
// nothing is detected and nothing can be chosen.
TEST_F(UpdateWindowTest, AServiceThatIsNotAControllerIsNotDetected) {
    ScriptedPeer web(ScriptedPeer::Mode::Frames, [](const QByteArray&, int) {
        return PeerAnswer{"HTTP/1.0 400 Bad Request\r\nContent-Type: text/html\r\nContent-Length: 45\r\n"
                          "Connection: close\r\n\r\n<html><body>400 Bad Request</body></html>\r\n"};
    });
    Field("Edit1")->setText(Loopback);
    Field("Edit2")->setText(QString::number(web.Port()));
    Field("Edit3")->setText(QString::number(ClosedPort()));
    Click("Button1");
    EXPECT_EQ(Text("StaticText2"), U("Nie można wykryć QuelNet-a."));
    EXPECT_EQ(Text("StaticText3"),
              U("Proszę zweryfikować adres QuelNet-a, ustawienia sieciowe komputera itp."));
    EXPECT_EQ(States(), QList<bool>({false, false, false, true}));
}

// An update start that never reached the controller (the link lost right
// after the last page), or a controller not found again after its restart:
// the status says so, never "Aktualizacja zakończona OK.".
TEST_F(UpdateWindowTest, UpdateThatDidNotEndWellSaysSoInTheStatus) {
    struct Case {
        const char* what;
        bool startLost;
        const char* lastLine;
        const char* status;
    } cases[] = {
        {"update start lost", true, "Błąd programowania DataFlash.", "Aktualizacja nie powiodła się."},
        {"not back after the restart", false, "Błąd : nie można nawiązać połączenia ze QuelNet-em.",
         "Aktualizacja zakończona z błędami – teksty nie zostały wyczyszczone."},
    };
    TfmCommon::Timeouts t = common.GetTimeouts();
    t.Link = 1000;
    common.SetTimeouts(t);
    waitForRestart = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::Faults faults;
        faults.closeBeforeUpdateStart = c.startLost;
        StartController(sim::Generation::New, true, faults, 60000);
        Click("Button1");
        Click("Button2");
        EXPECT_EQ(MemoLines().last(), U(c.lastLine));
        EXPECT_FALSE(MemoLines().contains(U("Aktualizacja zakończona OK.")));
        EXPECT_EQ(Text("StaticText2"), U(c.status));
        EXPECT_EQ(States(), QList<bool>({false, false, false, true}));
        EXPECT_EQ(sim->Restarts(), c.startLost ? 0 : 1);
        EXPECT_NE(sim->Flash().mid(0x2900, 0x8000), QByteArray(0x8000, '\0')); // texts not cleared
    }
}

// Hardware variant B has no V2.1.4 program: the alarm sounds and the choice
// stays, so that the user can retry at once.
TEST_F(UpdateWindowTest, ProgramThatCannotBeLoadedLeavesTheChoiceForARetry) {
    window.SetServiceMode(true);
    sim::SimConfig config;
    config.board = 'B';
    sim = std::make_unique<sim::SimThread>(config);
    ASSERT_TRUE(sim->Start());
    Field("Edit1")->setText(Loopback);
    Field("Edit2")->setText(QString::number(sim->TcpPort()));
    Click("Button1");
    Combo("ComboBox1")->setCurrentIndex(0);
    Combo("ComboBox2")->setCurrentIndex(0);
    Click("Button2");
    EXPECT_EQ(MemoLines(),
              QStringList({U("Ładowanie programu ..."), U("Błąd : nie można załadować programu.")}));
    EXPECT_EQ(dialogs.alarms, 1);
    EXPECT_EQ(Text("StaticText2"), "Wykryto QuelNet-a");
    EXPECT_EQ(States(), QList<bool>({true, true, true, true}));
    EXPECT_EQ(sim->Requests().size(), 1);
}
