// The settings window driven like a user would: designed controls, the two
// buttons against a simulated controller, with scripted dialogs in place of
// the real ones.
#include "tests/core/link/SimFixture.h"
#include "tests/support/ControllerAreas.h"
#include "tests/support/ScriptedDialogs.h"

#include "gui/common/Platform.h"
#include "gui/maintenance/DesktopDialogs.h"
#include "gui/maintenance/SettingsWindow.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace quelnet;
using namespace quelnet::test;

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

QStringList MemoLines(QWidget& window) {
    const QString text = window.findChild<QPlainTextEdit*>("Memo1")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

class SettingsWindowTest : public ::testing::Test {
protected:
    SettingsWindowTest() {
        TfmCommon::Timeouts t;
        t.RetryPause = 1;
        common.SetTimeouts(t);
        window.SetCommon(&common);
        window.SetDialogs(&dialogs, &dialogs);
    }
    void StartController(const QByteArray& flash) {
        sim::SimConfig config;
        config.restartDelayMs = 50;
        sim = std::make_unique<sim::SimThread>(config);
        ASSERT_TRUE(sim->Start());
        sim->SetFlash(flash);
        Field("Edit1")->setText(Loopback);
        Field("Edit2")->setText(QString::number(sim->TcpPort()));
    }
    QLineEdit* Field(const char* name) { return window.findChild<QLineEdit*>(name); }
    QPushButton* Button(const char* name) { return window.findChild<QPushButton*>(name); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    TfmCommon common;
    TfmSettings window;
    ScriptedDialogs dialogs;
    std::unique_ptr<sim::SimThread> sim;
    QTemporaryDir dir;
    const QByteArray config = ConfigArea({QByteArray::fromHex("0a000001"), QByteArray::fromHex("ff000000"),
                                          QByteArray::fromHex("0050c2000001"), "3958", "kpnv"},
                                         5);
    const QByteArray texts = Pattern(TextsBytes, 6);
};

} // namespace

TEST_F(SettingsWindowTest, DesignedControls) {
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
        {"Label3", "QLabel", "Hasło sterowania"},
        {"Edit3", "QLineEdit", "3958"},
        {"StaticText1", "QLabel", "Proszę zamontować w QuelNet-ie zworę odblokowującą programowanie."},
        {"Button1", "QPushButton", "Odczytaj konfigurację ze QuelNet-a "},
        {"Button2", "QPushButton", "Załaduj konfigurację do QuelNet-a"},
        {"Memo1", "QPlainTextEdit", ""},
        {"ProgressBar1", "QProgressBar", nullptr},
        {"Image1", "QLabel", nullptr},
        {"Image2", "QLabel", nullptr},
        {"Image3", "QLabel", nullptr},
        {"Image4", "QLabel", nullptr},
        {"Image5", "QLabel", nullptr},
    };
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), "Ustawienia quelneta");
    EXPECT_EQ(window.size(), QSize(711, 286));

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
    QLineEdit* password = Field("Edit3");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), '*');
    EXPECT_TRUE(window.findChild<QPlainTextEdit*>("Memo1")->isReadOnly());
    EXPECT_EQ(window.findChild<QProgressBar*>("ProgressBar1")->value(), 0);
    for (int i = 1; i <= 5; ++i)
        EXPECT_FALSE(window.findChild<QLabel*>(QString("Image%1").arg(i))->pixmap().isNull()) << i;
}

TEST_F(SettingsWindowTest, BackUpButtonSavesBothFiles) {
    StartController(FlashWith(config, texts));
    dialogs.paths = {Path("Conf.QNC"), Path("Text.QNT")};
    QList<bool> buttonsEnabled, stillOpen;
    window.show();
    dialogs.onAsk = [&] {
        buttonsEnabled << (Button("Button1")->isEnabled() || Button("Button2")->isEnabled());
        window.close(); // refused while the job runs in the window
        stillOpen << window.isVisible();
    };
    QTest::mouseClick(Button("Button1"), Qt::LeftButton);

    EXPECT_EQ(dialogs.trail, QStringList({"save Conf.QNC", "save Text.QNT"}));
    QFile conf(Path("Conf.QNC")), text(Path("Text.QNT"));
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly) && text.open(QIODevice::ReadOnly));
    EXPECT_EQ(conf.readAll(), config);
    EXPECT_EQ(text.readAll(), texts);
    EXPECT_EQ(MemoLines(window), QStringList({U("Przepisywanie konfiguracji OK."),
                                              U("Odczyt konfiguracji OK."), U("Odczyt tekstów OK.")}));
    EXPECT_EQ(window.findChild<QProgressBar*>("ProgressBar1")->value(), 0);
    EXPECT_EQ(window.findChild<QProgressBar*>("ProgressBar1")->maximum(), 160);
    EXPECT_EQ(buttonsEnabled, QList<bool>({false, false}));
    EXPECT_EQ(stillOpen, QList<bool>({true, true}));
    EXPECT_TRUE(Button("Button1")->isEnabled() && Button("Button2")->isEnabled());
}

TEST_F(SettingsWindowTest, RestoreButtonWritesTheFilesWithTheTypedPassword) {
    StartController(FlashWith(Pattern(ConfigBytes, 1), Pattern(TextsBytes, 2)));
    for (const auto& [name, bytes] : {std::pair{"Conf.QNC", config}, std::pair{"Text.QNT", texts}}) {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    dialogs.paths = {Path("Conf.QNC"), Path("Text.QNT")};
    dialogs.answers = {true, true};
    window.show();
    QTest::mouseClick(Button("Button2"), Qt::LeftButton);

    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text,
              U("Zostaną wprogramowane następujące ustawienia.\r\rMAC: 00-50-C2-00-00-01\rIP: 10.0.0.1\r"
                "Maska: 255.0.0.0\rHasło: kpnv\r\rCzy nadpisać ustawienia ?"));
    EXPECT_TRUE(WaitUntil([&] { return sim->Requests().size() == 163; })); // 0xAB is not answered
    EXPECT_EQ(sim->Flash(), FlashWith(config, texts));
    EXPECT_EQ(MemoLines(window), QStringList({U("Zapis konfiguracji OK."), U("Zapis tekstów OK."),
                                              U("Przepisywanie konfiguracji OK."), U("Reset QuelNet-a.")}));

    // A wrong password is refused by the controller: the identification fails.
    sim->ClearRequests();
    dialogs = ScriptedDialogs();
    Field("Edit3")->setText("0000");
    QTest::mouseClick(Button("Button2"), Qt::LeftButton);
    EXPECT_EQ(dialogs.messages, QList<Message>({{U("Ostrzeżenie"), U("Nie wykryto QuelNet-a wersji 4.x.x."),
                                                 MessageIcon::Warning, MessageButtons::Ok}}));
}

TEST(DesktopDialogs, BoxesGoThroughThePlatformSeam) {
    struct Shown {
        QMessageBox::Icon icon;
        QString title, text;
        QMessageBox::StandardButtons buttons;
    };
    QList<Shown> shown;
    QMessageBox::StandardButton reply = QMessageBox::Yes;
    int beeps = 0;
    Platform().MessageBox = [&](QWidget*, QMessageBox::Icon icon, const QString& title, const QString& text,
                                QMessageBox::StandardButtons buttons) {
        shown.append({icon, title, text, buttons});
        return reply;
    };
    Platform().Beep = [&] { ++beeps; };
    DesktopDialogs desktop(nullptr);

    EXPECT_EQ(desktop.Show({"Ostrzeżenie", "a\rb\r\rc", MessageIcon::Warning, MessageButtons::YesNo}),
              MessageAnswer::Yes);
    reply = QMessageBox::No;
    EXPECT_FALSE(AskQuestion(desktop, "q"));
    reply = QMessageBox::NoButton; // closed without a choice
    EXPECT_EQ(desktop.Show({"t", "x", MessageIcon::Warning, MessageButtons::YesNo}), MessageAnswer::No);
    ShowError(desktop, "e");
    desktop.Alarm();
    RestoreDefaultPlatform();

    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[0].icon, QMessageBox::Warning);
    EXPECT_EQ(shown[0].text, "a\nb\n\nc");
    EXPECT_EQ(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(shown[1].icon, QMessageBox::Question);
    EXPECT_EQ(shown[1].title, "Pytanie");
    EXPECT_EQ(shown[3].icon, QMessageBox::Critical);
    EXPECT_EQ(shown[3].title, U("Błąd"));
    EXPECT_EQ(shown[3].buttons, QMessageBox::Ok);
    EXPECT_EQ(beeps, 1);
}

TEST(DesktopDialogs, FileFiltersInTheToolkitsForm) {
    const std::pair<const char*, const char*> rows[] = {
        {"Ustawienia QuelNet-a|*.QNC", "Ustawienia QuelNet-a (*.QNC)"},
        {"HTML|*.html|HTM|*.htm|TEXT|*.txt", "HTML (*.html);;HTM (*.htm);;TEXT (*.txt)"},
        {"Obrazy|*.bmp;*.png", "Obrazy (*.bmp *.png)"},
    };
    for (const auto& [filter, qt] : rows)
        EXPECT_EQ(QtFileFilter(U(filter)), U(qt));
}
