// Where the panel file lives: beside the executable, or in the user's
// configuration folder when the program is installed where the user may not write.
#include "core/panel/PanelFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quelnet {

namespace {

QString& PathOverride() {
    static QString path;
    return path;
}

std::function<bool(const QString&)>& WritableCheck() {
    static std::function<bool(const QString&)> check;
    return check;
}

bool FolderWritable(const QString& folder) {
    if (WritableCheck())
        return WritableCheck()(folder);
    return QFileInfo(folder).isWritable();
}

} // namespace

QString PanelFileLocation::ReadPath() const {
    if (!StartingPanel.isEmpty() && !QFileInfo::exists(Path))
        return StartingPanel;
    return Path;
}

PanelFileLocation LocatePanelFile() {
    if (!PathOverride().isEmpty())
        return PanelFileLocation{PathOverride(), false, QString()};
    const QString folder = QCoreApplication::applicationDirPath();
    const QString beside = folder + QDir::separator() + QString::fromLatin1(PanelFileName);
    const QFileInfo besideFile(beside);
    if (FolderWritable(folder) || (besideFile.isFile() && besideFile.isWritable()))
        return PanelFileLocation{beside, false, QString()};
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/quelnet/") + QString::fromLatin1(PanelFileName);
    return PanelFileLocation{QDir::toNativeSeparators(config), true,
                             besideFile.isFile() ? beside : QString()};
}

QString PanelFilePath() {
    return LocatePanelFile().Path;
}

void SetPanelFilePathOverride(const QString& path) {
    PathOverride() = path;
}

void SetFolderWritableCheck(std::function<bool(const QString&)> check) {
    WritableCheck() = std::move(check);
}

bool SavePanelFileAt(const PanelFileLocation& where, const QByteArray& bytes, QString* why) {
    if (where.InUserConfig && !QDir().mkpath(QFileInfo(where.Path).absolutePath())) {
        if (why)
            *why = QStringLiteral("%1: cannot make the folder").arg(QFileInfo(where.Path).absolutePath());
        return false;
    }
    return SavePanelFile(where.Path, bytes, why);
}

} // namespace quelnet
