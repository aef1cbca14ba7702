#include "core/link/HttpClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMutex>
#include <QMutexLocker>

namespace quelnet {

namespace {

QMutex g_mutex;
QString g_folder;                  // set by SetHttpModuleFolder
HttpPostFunction g_post = nullptr; // once loaded
bool g_tried = false;              // a failed load is not repeated

QString ProgramFolder() {
    // The program's own file, whatever folder it was started from.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path();
}

QStringList Candidates() {
    QStringList folders;
    if (!g_folder.isEmpty())
        folders << g_folder;
    const QString program = ProgramFolder();
    if (!program.isEmpty()) {
        folders << QDir(program).filePath(QStringLiteral(QUELNET_MODULE_FOLDER_FROM_PROGRAM));
        folders << program;
    }
    QStringList files;
    for (const QString& folder : folders)
        files << QDir::cleanPath(QDir(folder).filePath(QLatin1String(HttpModuleFile)));
    return files;
}

// The module file to load, or an empty text and why in `error`.
QString HttpModulePath(QString& error) {
    const QStringList files = Candidates();
    for (const QString& file : files)
        if (QFileInfo(file).isFile())
            return file;
    error = QStringLiteral("brak pliku (szukano: %1)").arg(files.join(QStringLiteral(", ")));
    return {};
}

HttpPostFunction Load() {
    QMutexLocker lock(&g_mutex);
    if (g_post || g_tried)
        return g_post;
    g_tried = true;
    // Only a broken installation gets here: said once on standard error, and
    // every status-page request then fails as if the controller were silent.
    QString error;
    const QString path = HttpModulePath(error);
    if (!path.isEmpty()) {
        QLibrary library(path); // stays loaded: the destructor does not unload
        g_post = reinterpret_cast<HttpPostFunction>(library.resolve(HttpModuleEntry));
        error = library.errorString();
    }
    if (!g_post)
        qWarning("Nie można załadować modułu HTTP: %s", qUtf8Printable(error));
    return g_post;
}

} // namespace

void SetHttpModuleFolder(const QString& folder) {
    QMutexLocker lock(&g_mutex);
    g_folder = folder;
    g_tried = false; // a module already loaded stays in use
}

bool PostHttp(const HttpPost& request, HttpResult& result) {
    result = {};
    if (!QCoreApplication::instance())
        return false;
    const HttpPostFunction post = Load();
    return post && post(&request, &result);
}

} // namespace quelnet
