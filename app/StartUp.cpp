#include "app/StartUp.h"

#include "core/link/DeviceLink.h"
#include "gui/maintenance/ExtendedWindow.h"
#include "gui/maintenance/ResourcesWindow.h"
#include "gui/maintenance/SettingsWindow.h"
#include "gui/maintenance/UpdateWindow.h"
#include "gui/panel/PanelWindow.h"
#include "gui/toolbox/ToolboxWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quelnet {

AppMode ModeFromArgument(const QString& first) {
    if (first == "-k")
        return AppMode::PanelEditor;
    if (first == "-u")
        return AppMode::Update;
    if (first == "-r")
        return AppMode::Resources;
    if (first == "-b")
        return AppMode::Settings;
    if (first == "-x")
        return AppMode::Extended;
    return AppMode::PanelRun;
}

QStringList ArgumentsAsGiven(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

ModeWindows::ModeWindows() = default;
ModeWindows::ModeWindows(ModeWindows&&) noexcept = default;

ModeWindows::~ModeWindows() {
    // The tool window before the panel: the panel refers to it while closing.
    delete tool.data();
    delete panel.data();
    delete update.data();
    delete resources.data();
    delete settings.data();
    delete extended.data();
}

ModeWindows CreateModeWindows(const QStringList& arguments) {
    ModeWindows w;
    w.mode = ModeFromArgument(arguments.size() > 1 ? arguments.at(1) : QString());
    auto created = [&w](QObject* o) { w.creationOrder << o->objectName(); };

    switch (w.mode) {
    case AppMode::PanelEditor:
        w.panel = new TfmVQuelnet;
        created(w.panel);
        w.tool = new TfmQuelnetTool;
        created(w.tool);
        w.mainWindow = w.panel;
        break;
    case AppMode::Update:
        w.mainWindow = w.update = new TfmUpdate;
        created(w.update);
        w.update->SetServiceMode(arguments.size() > 2 && arguments.at(2) == QLatin1String(ServiceSwitch));
        break;
    case AppMode::Resources:
        w.mainWindow = w.resources = new TfmResources;
        created(w.resources);
        break;
    case AppMode::Settings:
        w.mainWindow = w.settings = new TfmSettings;
        created(w.settings);
        break;
    case AppMode::Extended:
        w.mainWindow = w.extended = new TfmExtended;
        created(w.extended);
        break;
    case AppMode::PanelRun:
        w.mainWindow = w.panel = new TfmVQuelnet;
        created(w.panel);
        break;
    }
    w.common = std::make_unique<TfmCommon>();
    created(w.common.get());

    if (w.panel) {
        w.panel->SetCommon(w.common.get());
        w.panel->SetTool(w.tool);
        if (w.tool)
            w.tool->SetRecords(&w.panel->Records);
        w.panel->EditMode = w.mode == AppMode::PanelEditor;
    }
    for (MaintenanceWindow* m : {static_cast<MaintenanceWindow*>(w.update.data()),
                                 static_cast<MaintenanceWindow*>(w.resources.data()),
                                 static_cast<MaintenanceWindow*>(w.settings.data()),
                                 static_cast<MaintenanceWindow*>(w.extended.data())})
        if (m)
            m->SetCommon(w.common.get());
    return w;
}

void PrepareApplication() {
    QApplication::setApplicationName("quelnet");
    // The interface is Polish whatever the system's language; the locale
    // settings (decimal separator) stay the user's.
    static QTranslator* qtTexts = nullptr;
    if (qtTexts)
        return;
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Polish, QLocale::Poland), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        qtTexts = translator;
    else
        delete translator;
}

int RunApplication(const QStringList& arguments) {
    ModeWindows w = CreateModeWindows(arguments);
    // Closing the main window ends the program, whatever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);
    w.mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(w.mainWindow, &QObject::destroyed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    w.mainWindow->show();
    return QApplication::exec();
}

} // namespace quelnet
