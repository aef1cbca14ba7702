#include "gui/maintenance/SettingsWindow.h"

#include "core/jobs/SettingsJob.h"
#include "gui/maintenance/DesktopDialogs.h"
#include "gui/maintenance/LinkAdapters.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

namespace quelnet {

namespace {

// A child control with its designed name and rectangle.
template <class Control> Control* Place(QWidget* parent, const char* name, const QRect& rect) {
    auto* control = new Control(parent);
    control->setObjectName(name);
    control->setGeometry(rect);
    return control;
}

QLabel* Caption(QWidget* parent, const char* name, const char* text, const QRect& rect) {
    QLabel* label = Place<QLabel>(parent, name, rect);
    label->setText(QString::fromUtf8(text));
    return label;
}

QLineEdit* Edit(QWidget* parent, const char* name, const char* text, const QRect& rect) {
    QLineEdit* edit = Place<QLineEdit>(parent, name, rect);
    edit->setText(QString::fromUtf8(text));
    return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, const QRect& rect) {
    QPushButton* button = Place<QPushButton>(parent, name, rect);
    button->setText(QString::fromUtf8(text));
    return button;
}

} // namespace

TfmSettings::TfmSettings(QWidget* parent)
    : MaintenanceWindow({"fmSettings", "Ustawienia quelneta", 711, 286, true, "b"}, parent),
      m_desktop(std::make_unique<DesktopDialogs>(this)), m_messages(m_desktop.get()),
      m_files(m_desktop.get()), m_pump(std::make_unique<WindowEventPump>()) {
    CreateControls();
    CreatePictures();
    m_log = std::make_unique<MemoLog>(m_logMemo);
    m_progress = std::make_unique<BarProgress>(m_progressBar);
    connect(m_backUpButton, &QPushButton::clicked, this, &TfmSettings::Button1Click);
    connect(m_restoreButton, &QPushButton::clicked, this, &TfmSettings::Button2Click);
}

TfmSettings::~TfmSettings() = default;

void TfmSettings::CreateControls() {
    m_hostLabel = Caption(this, "Label1", "Adres QuelNet-a", {48, 29, 108, 16});
    m_hostEdit = Edit(this, "Edit1", "192.168.0.177", {160, 26, 136, 21});
    m_portLabel = Caption(this, "Label2", "Port TCP", {48, 57, 108, 16});
    m_portEdit = Edit(this, "Edit2", "7080", {160, 54, 136, 21});
    m_passwordLabel = Caption(this, "Label3", "Hasło sterowania", {48, 85, 108, 16});
    m_passwordEdit = Edit(this, "Edit3", "3958", {160, 82, 136, 21});
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setStyleSheet("lineedit-password-character: 42"); // shown as "*"

    m_jumperHint =
        Caption(this, "StaticText1", "Proszę zamontować w QuelNet-ie zworę odblokowującą programowanie.",
                {48, 120, 248, 32});
    m_jumperHint->setWordWrap(true);
    m_backUpButton = Button(this, "Button1", "Odczytaj konfigurację ze QuelNet-a ", {48, 176, 248, 38});
    m_restoreButton = Button(this, "Button2", "Załaduj konfigurację do QuelNet-a", {48, 236, 248, 38});

    m_logMemo = Place<QPlainTextEdit>(this, "Memo1", {312, 26, 391, 222});
    m_logMemo->setReadOnly(true);
    m_progressBar = Place<QProgressBar>(this, "ProgressBar1", {312, 256, 391, 18});
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
}

// Pictures without behaviour beside the rows they illustrate: the controller
// and its network, the jumper, saving to a file and loading from one.
void TfmSettings::CreatePictures() {
    struct Picture {
        const char* name;
        QStyle::StandardPixmap pixmap;
        QRect rect;
    };
    const Picture pictures[] = {
        {"Image1", QStyle::SP_ComputerIcon, {8, 21, 32, 32}},
        {"Image2", QStyle::SP_DriveNetIcon, {8, 77, 32, 32}},
        {"Image3", QStyle::SP_MessageBoxWarning, {8, 120, 32, 32}},
        {"Image4", QStyle::SP_DialogSaveButton, {8, 179, 32, 32}},
        {"Image5", QStyle::SP_DialogOpenButton, {8, 239, 32, 32}},
    };
    for (std::size_t i = 0; i < m_pictures.size(); ++i) {
        const Picture& p = pictures[i];
        m_pictures[i] = Place<QLabel>(this, p.name, p.rect);
        m_pictures[i]->setPixmap(style()->standardIcon(p.pixmap).pixmap(p.rect.size()));
        m_pictures[i]->setAlignment(Qt::AlignCenter);
    }
}

void TfmSettings::SetDialogs(IMessages* messages, IFileChooser* files) {
    m_messages = messages ? messages : m_desktop.get();
    m_files = files ? files : m_desktop.get();
}

ControllerTarget TfmSettings::Target() const {
    return {m_hostEdit->text(), m_portEdit->text(), m_passwordEdit->text()};
}

void TfmSettings::Button1Click() {
    RunJob(false);
}

void TfmSettings::Button2Click() {
    RunJob(true);
}

// The transfer lets the window handle events between pages; the buttons stay
// disabled meanwhile, so that no second operation reaches the device link.
void TfmSettings::RunJob(bool restore) {
    if (m_running || !Common())
        return;
    m_running = true;
    m_backUpButton->setEnabled(false);
    m_restoreButton->setEnabled(false);
    SettingsJob job(*Common(), {*m_messages, *m_files, *m_log, *m_progress, m_pump.get(), nullptr});
    if (restore)
        job.Restore(Target());
    else
        job.BackUp(Target());
    m_backUpButton->setEnabled(true);
    m_restoreButton->setEnabled(true);
    m_running = false;
}

void TfmSettings::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore(); // the window must outlive the transfer that runs in it
    else
        MaintenanceWindow::closeEvent(event);
}

} // namespace quelnet
