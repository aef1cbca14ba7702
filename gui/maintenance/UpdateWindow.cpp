#include "gui/maintenance/UpdateWindow.h"

#include "core/base/InterfaceTexts.h"
#include "gui/maintenance/DesignedControls.h"
#include "gui/maintenance/DesktopDialogs.h"
#include "gui/maintenance/LinkAdapters.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QProgressBar>

namespace quelnet {

using namespace design;

namespace {

constexpr int Version401f = 1;

QLabel* Hint(QWidget* parent, const char* name, const char* text, const QRect& rect) {
    QLabel* label = Caption(parent, name, text, rect);
    label->setWordWrap(true);
    return label;
}

} // namespace

TfmUpdate::TfmUpdate(QWidget* parent)
    : MaintenanceWindow({"fmUpdate", "Aktualizacja quelnet-a", 726, 290, true, "u"}, parent),
      m_desktop(std::make_unique<DesktopDialogs>(this)), m_messages(m_desktop.get()),
      m_sound(m_desktop.get()), m_pump(std::make_unique<WindowEventPump>()) {
    CreateConnectionFields();
    CreateChoiceControls();
    CreateLogControls();
    m_log = std::make_unique<MemoLog>(m_logMemo);
    m_progress = std::make_unique<BarProgress>(m_progressBar);
    connect(m_identifyButton, &QPushButton::clicked, this, &TfmUpdate::Button1Click);
    connect(m_versionCombo, &QComboBox::currentIndexChanged, this, &TfmUpdate::ComboBox1Change);
    connect(m_updateButton, &QPushButton::clicked, this, &TfmUpdate::Button2Click);
}

TfmUpdate::~TfmUpdate() = default;

void TfmUpdate::CreateConnectionFields() {
    Caption(this, "Label1", "Adres QuelNet-a", {8, 15, 108, 16});
    m_hostEdit = Edit(this, "Edit1", "192.168.0.177", {120, 12, 128, 21});
    Caption(this, "Label2", "Port TCP", {8, 43, 108, 16});
    m_tcpPortEdit = Edit(this, "Edit2", "7080", {120, 40, 128, 21});
    Caption(this, "Label3", "Port HTTP", {8, 71, 108, 16});
    m_httpPortEdit = Edit(this, "Edit3", "80", {120, 68, 128, 21});
    Caption(this, "Label4", "Hasło konfiguracji", {8, 99, 108, 16});
    m_passwordEdit = PasswordEdit(this, "Edit4", "kpnv", {120, 96, 128, 21});
    m_jumperHint =
        Hint(this, "StaticText1", "Proszę zamontować w QuelNet-ie zworę odblokowującą programowanie.",
             {8, 128, 240, 32});
    m_identifyButton = Button(this, "Button1", "Połącz i sprawdź QuelNet-a", {8, 170, 240, 36});
}

void TfmUpdate::CreateChoiceControls() {
    m_statusText = Place<QLabel>(this, "StaticText2", {264, 12, 212, 16});
    m_statusText->setTextFormat(Qt::PlainText);
    QFont bold = m_statusText->font();
    bold.setBold(true);
    m_statusText->setFont(bold);
    m_detailsText = Place<QLabel>(this, "StaticText3", {264, 32, 212, 150});
    m_detailsText->setTextFormat(Qt::PlainText);
    m_detailsText->setWordWrap(true);
    m_detailsText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Caption(this, "Label5", "Do wersji :", {264, 193, 70, 16});
    m_versionCombo = Place<QComboBox>(this, "ComboBox1", {336, 190, 140, 21});
    m_versionCombo->addItems(UpdateJob::VersionNames());
    m_versionCombo->setCurrentIndex(Version401f);
    Caption(this, "Label6", "Język :", {264, 221, 70, 16});
    m_languageCombo = Place<QComboBox>(this, "ComboBox2", {336, 218, 140, 21});
    m_updateButton = Button(this, "Button2", "Aktualizuj", {264, 248, 212, 34});
    SetChoiceEnabled(false, false, false);
}

void TfmUpdate::CreateLogControls() {
    m_logMemo = Place<QPlainTextEdit>(this, "Memo1", {488, 24, 230, 188});
    m_logMemo->setReadOnly(true);
    m_powerHint =
        Hint(this, "StaticText4", "W czasie aktualizacji nie można odłączać QuelNet-a od zasilania.",
             {488, 218, 230, 32});
    m_progressBar = Place<QProgressBar>(this, "ProgressBar1", {488, 262, 230, 18});
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
}

void TfmUpdate::SetDialogs(IMessages* messages, ISound* sound) {
    m_messages = messages ? messages : m_desktop.get();
    m_sound = sound ? sound : m_desktop.get();
}

UpdateTarget TfmUpdate::Target() const {
    return {m_hostEdit->text(), m_tcpPortEdit->text(), m_httpPortEdit->text(), m_passwordEdit->text()};
}

JobFrontEnd TfmUpdate::FrontEnd() {
    return {*m_messages, *m_desktop, *m_log, *m_progress, m_pump.get(), m_sound};
}

void TfmUpdate::SetChoiceEnabled(bool version, bool language, bool update) {
    m_versionCombo->setEnabled(version);
    m_languageCombo->setEnabled(language);
    m_updateButton->setEnabled(update);
}

// The details break their lines with CR; a label with LF.
void TfmUpdate::ShowStatus(const QString& status, const QString& details) {
    m_statusText->setText(status);
    m_detailsText->setText(BoxText(details));
}

void TfmUpdate::FillLanguages(int version) {
    m_languageCombo->clear();
    m_languageCombo->addItems(UpdateJob::Languages(version));
    m_languageCombo->setCurrentIndex(-1);
}

void TfmUpdate::Button1Click() {
    if (m_running || !Common())
        return;
    m_running = true;
    m_identifyButton->setEnabled(false);
    ShowStatus(Pl(lt::Searching), QString());
    SetChoiceEnabled(false, false, false);
    m_pump->ProcessEvents(); // shows the search before the link blocks
    m_identity = UpdateJob(*Common(), FrontEnd(), m_serviceMode).Identify(Target());
    ShowStatus(m_identity.status, m_identity.details);
    if (m_identity.Ready()) {
        // Filled once; afterwards only a change of target version refills it.
        if (m_languageCombo->count() == 0) {
            FillLanguages(Version401f);
            m_languageCombo->setCurrentIndex(m_languageCombo->findText(m_identity.Lng));
        }
        SetChoiceEnabled(true, m_serviceMode, true);
    }
    m_identifyButton->setEnabled(true);
    m_running = false;
}

void TfmUpdate::ComboBox1Change(int index) {
    FillLanguages(index);
}

// A refusal leaves the choice disabled: the controller must be identified
// again. After the programming the same; after a failure to load the program
// or the DataFlash content the choice stays, so that the user can retry.
void TfmUpdate::Button2Click() {
    if (m_running || !Common())
        return;
    m_running = true;
    UpdateJob job(*Common(), FrontEnd(), m_serviceMode);
    const int language = m_languageCombo->currentIndex();
    const UpdateChoice choice{m_versionCombo->currentIndex(),
                              language >= 0 ? m_languageCombo->itemText(language) : QString()};
    const std::optional<bool> updConfig = job.Confirm(m_identity, choice);
    if (!updConfig) {
        SetChoiceEnabled(false, false, false);
        m_running = false;
        return;
    }
    setEnabled(false);
    const UpdateStep step = job.Install(Target(), m_identity, choice, *updConfig);
    const QString status = UpdateJob::StatusAfter(step); // empty after a loading failure
    if (!status.isEmpty()) {
        ShowStatus(status, QString());
        SetChoiceEnabled(false, false, false);
    }
    setEnabled(true);
    m_running = false;
}

void TfmUpdate::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore(); // the window must outlive the update that runs in it
    else
        MaintenanceWindow::closeEvent(event);
}

} // namespace quelnet
