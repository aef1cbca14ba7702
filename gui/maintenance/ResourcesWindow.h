#pragma once
// Window "Zasoby quelnet-a" ("-r"): the user's eight pages and eight graphics
// in place of the package defaults, and their installation into a 4.x
// controller. Each resource has a name label (whose hint holds the chosen
// path, empty for the default), a size label and two clickable images: choose
// a file, go back to the default. The window turns these clicks and the
// install button into calls of ResourcesJob.

#include "core/jobs/ResourcesJob.h"
#include "gui/maintenance/MaintenanceWindow.h"

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace quelnet {

class DesktopDialogs;
class BarProgress;
class UnshownLog;
class WindowEventPump;

class TfmResources : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TfmResources(QWidget* parent = nullptr);
    ~TfmResources() override;

    // Replaces the desktop's message boxes and file dialogs (tests); null
    // restores them.
    void SetDialogs(IMessages* messages, IFileChooser* files);

    // The user's choices as the DataFlash image builder takes them.
    TUser_Resource Resource() const;

public slots:
    void UOpenClick(int k); // k = 1 ... 8
    void SOpenClick(int k);
    void UDelClick(int k);
    void SDelClick(int k);
    void Button1Click(); // install

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // One resource: "Strona "u1.cgi"" or "Grafika "s1.gif"" with its size and images.
    struct Row {
        QLabel* name = nullptr; // hint: the chosen path
        QLabel* info = nullptr; // the size text
        QToolButton* open = nullptr;
        QToolButton* del = nullptr;
    };
    using Rows = std::array<Row, 8>;

    void CreateConnectionFields();
    void CreateRows(ResourceKind kind, int left);
    Rows& RowsOf(ResourceKind kind) { return kind == ResourceKind::Page ? m_pages : m_graphics; }
    void OpenClick(ResourceKind kind, int k);
    void DelClick(ResourceKind kind, int k);
    void FormShow();
    void ShowFreeSpace();
    JobFrontEnd FrontEnd();

    QLineEdit* m_hostEdit = nullptr;
    QLineEdit* m_portEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QLabel* m_jumperHint = nullptr;
    QPushButton* m_installButton = nullptr;
    QLabel* m_statusText = nullptr;
    QProgressBar* m_progressBar = nullptr;
    Rows m_pages;
    Rows m_graphics;

    std::unique_ptr<DesktopDialogs> m_desktop;
    IMessages* m_messages = nullptr;
    IFileChooser* m_files = nullptr;
    std::unique_ptr<UnshownLog> m_log;
    std::unique_ptr<BarProgress> m_progress;
    std::unique_ptr<WindowEventPump> m_pump;
    bool m_running = false; // an installation runs: the device link takes one call at a time
};

} // namespace quelnet
