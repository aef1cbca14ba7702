#include "gui/toolbox/PictureDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>

namespace quelnet {

namespace {

std::optional<QString> realDialog(QWidget* owner, const QString& fileName, const QString& filter) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    if (!fileName.isEmpty()) {
        const QFileInfo info(fileName);
        if (info.dir().exists())
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}

} // namespace

PictureDialogFn& PictureDialog() {
    static PictureDialogFn fn = realDialog;
    return fn;
}

void RestoreDefaultPictureDialog() {
    PictureDialog() = realDialog;
}

QString PictureFileFilter() {
    QStringList patterns;
    QStringList entries;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString f = QString::fromLatin1(format).toLower();
        patterns << QStringLiteral("*.") + f;
        entries << f.toUpper() + QStringLiteral(" (*.") + f + QStringLiteral(")");
    }
    QStringList filter;
    filter << QStringLiteral("Wszystkie obrazy (") + patterns.join(u' ') + QStringLiteral(")");
    filter << entries;
    filter << QStringLiteral("Wszystkie pliki (*)");
    return filter.join(QStringLiteral(";;"));
}

} // namespace quelnet
