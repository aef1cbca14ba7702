#pragma once
// Window "Ustawienia quelneta" ("-b"): backs a controller's configuration and
// texts up into two files and writes them back. The window only turns the two
// button clicks into calls of SettingsJob; its memo and progress bar are the
// job's log and progress, its dialogs the job's questions and file choices.

#include "core/jobs/JobInterfaces.h"
#include "gui/maintenance/MaintenanceWindow.h"

#include <array>
#include <memory>

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

class TfmSettings : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TfmSettings(QWidget* parent = nullptr);
    ~TfmSettings() override;

    // Replaces the desktop's message boxes and file dialogs (tests); null
    // restores them.
    void SetDialogs(IMessages* messages, IFileChooser* files);

public slots:
    void Button1Click(); // back up
    void Button2Click(); // restore

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreatePictures();
    void RunJob(bool restore);
    ControllerTarget Target() const;

    QLabel* m_hostLabel = nullptr;
    QLineEdit* m_hostEdit = nullptr;
    QLabel* m_portLabel = nullptr;
    QLineEdit* m_portEdit = nullptr;
    QLabel* m_passwordLabel = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QLabel* m_jumperHint = nullptr;
    QPushButton* m_backUpButton = nullptr;
    QPushButton* m_restoreButton = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPlainTextEdit* m_logMemo = nullptr;
    std::array<QLabel*, 5> m_pictures{};

    std::unique_ptr<DesktopDialogs> m_desktop;
    IMessages* m_messages = nullptr;
    IFileChooser* m_files = nullptr;
    std::unique_ptr<MemoLog> m_log;
    std::unique_ptr<BarProgress> m_progress;
    std::unique_ptr<WindowEventPump> m_pump;
    bool m_running = false; // a job runs: the device link takes one call at a time
};

} // namespace quelnet
