#pragma once
// Start-up: the first command-line argument chooses the mode, and the windows
// of that mode are created in a fixed order together with the device link.
//
//   "-k"  panel editor    TfmVQuelnet, TfmQuelnetTool (hidden), TfmCommon
//   "-u"  firmware update TfmUpdate, TfmCommon
//   "-r"  user resources  TfmResources, TfmCommon
//   "-b"  settings backup TfmSettings, TfmCommon
//   "-x"  extensions      TfmExtended, TfmCommon
//   else  panel run mode  TfmVQuelnet, TfmCommon
// The switch must match exactly (case-sensitive, whole text). The update
// window's service mode is the second argument, exactly "-dravin".

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace quelnet {

class TfmCommon;
class TfmVQuelnet;
class TfmQuelnetTool;
class TfmUpdate;
class TfmResources;
class TfmSettings;
class TfmExtended;

inline constexpr char ServiceSwitch[] = "-dravin";

enum class AppMode { PanelEditor, Update, Resources, Settings, Extended, PanelRun };

// Mode of a first argument (empty when there is none).
AppMode ModeFromArgument(const QString& first);

struct ModeWindows {
    AppMode mode = AppMode::PanelRun;
    QPointer<QWidget> mainWindow;
    QPointer<TfmVQuelnet> panel;
    QPointer<TfmQuelnetTool> tool;
    QPointer<TfmUpdate> update;
    QPointer<TfmResources> resources;
    QPointer<TfmSettings> settings;
    QPointer<TfmExtended> extended;
    std::unique_ptr<TfmCommon> common;
    QStringList creationOrder; // object names, in the order created

    ModeWindows();
    ModeWindows(ModeWindows&&) noexcept;
    ~ModeWindows(); // destroys every window still alive
};

// The command line as given to main(), program name first. QApplication takes
// its own options (-reverse, -style ...) out of argc and argv, but the mode is
// chosen by the first argument as given, whatever it is.
QStringList ArgumentsAsGiven(int argc, const char* const* argv);

// Creates the windows of the mode chosen by `arguments` (as from
// ArgumentsAsGiven: program name first) and sets EditMode.
// Nothing is shown yet.
ModeWindows CreateModeWindows(const QStringList& arguments);

// Settings of the application made before any window exists: its name, and
// Qt's own texts (standard buttons, file dialogs) in Polish like the rest of
// the program, from Qt's Polish translations (Debian: qt6-translations-l10n).
// Without them Qt's texts stay English.
void PrepareApplication();

// Creates the windows, shows the main one and runs the event loop until the
// main window has closed.
int RunApplication(const QStringList& arguments);

} // namespace quelnet
