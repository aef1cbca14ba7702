#pragma once
// Window "Aktualizacja quelnet-a" ("-u"): identifies a controller and installs
// firmware V2.1.4 or V4.0.1f from the package. The window turns its events into
// calls of UpdateJob and shows what the job reports; its memo and progress bar
// are the job's log and progress, its message boxes and beep the job's
// questions and alarm.
//
//   idle         Button1 and the connection fields
//   ready        after an identification with the jumper fitted: ComboBox1 and
//                Button2 too, ComboBox2 in service mode
//   updating     the whole window disabled, closing refused

#include "core/jobs/UpdateJob.h"
#include "gui/maintenance/MaintenanceWindow.h"

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace quelnet {

class DesktopDialogs;
class MemoLog;
class BarProgress;
class WindowEventPump;

class TfmUpdate : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TfmUpdate(QWidget* parent = nullptr);
    ~TfmUpdate() override;

    // Service mode (second command-line argument "-dravin"): controllers below
    // version 4 are updated too, and the language can be chosen.
    void SetServiceMode(bool on) { m_serviceMode = on; }
    bool ServiceMode() const { return m_serviceMode; }

    // Replaces the desktop's message boxes and beep (tests); null restores them.
    void SetDialogs(IMessages* messages, ISound* sound);

    // What the last identification found (the window's Ver and Boa).
    const UpdateIdentity& Identity() const { return m_identity; }

public slots:
    void Button1Click();             // identify
    void ComboBox1Change(int index); // reload the languages of the target version
    void Button2Click();             // update

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateConnectionFields();
    void CreateChoiceControls();
    void CreateLogControls();
    void FillLanguages(int version);
    void SetChoiceEnabled(bool version, bool language, bool update);
    void ShowStatus(const QString& status, const QString& details);
    UpdateTarget Target() const;
    JobFrontEnd FrontEnd();

    QLineEdit* m_hostEdit = nullptr;
    QLineEdit* m_tcpPortEdit = nullptr;
    QLineEdit* m_httpPortEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QLabel* m_jumperHint = nullptr;
    QPushButton* m_identifyButton = nullptr;
    QLabel* m_statusText = nullptr;
    QLabel* m_detailsText = nullptr;
    QComboBox* m_versionCombo = nullptr;
    QComboBox* m_languageCombo = nullptr;
    QPushButton* m_updateButton = nullptr;
    QLabel* m_powerHint = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPlainTextEdit* m_logMemo = nullptr;

    std::unique_ptr<DesktopDialogs> m_desktop;
    IMessages* m_messages = nullptr;
    ISound* m_sound = nullptr;
    std::unique_ptr<MemoLog> m_log;
    std::unique_ptr<BarProgress> m_progress;
    std::unique_ptr<WindowEventPump> m_pump;
    UpdateIdentity m_identity;
    bool m_serviceMode = false;
    bool m_running = false; // a job runs: the device link takes one call at a time
};

} // namespace quelnet
