// quelnet-package-content: makes the files of the program's firmware package and
// the manifest for quelnet-pack.
//
//   quelnet-package-content OUTPUT_FOLDER
//
// Writes OUTPUT_FOLDER/<version>/<language or "common">/<name> and
// OUTPUT_FOLDER/manifest.txt (files that already hold the same bytes are left
// alone). Before writing, it builds the three DataFlash images from the package
// these files make and checks where their last files end.
#include "ContentPlan.h"

#include "core/firmware/ImageBuilder.h"
#include "core/firmware/PackageFormat.h"
#include "core/protocol/Checksums.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

using namespace quelnet;

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "quelnet-package-content: %s\n", qPrintable(message));
    return 1;
}

bool CheckImages(const std::vector<package::PackageFile>& files, QString* error) {
    PackageReader reader = PackageReader::OfBytes(package::WritePackage(files));
    DataFlashImage image;
    const struct {
        const char* lang;
        const char* version;
        quint32 lastEnd;
    } groups[] = {{"PL", package::Version401f, content::LastEndPlV401f},
                  {"PL", package::Version214, content::LastEndPlV214},
                  {"LT", package::Version214, content::LastEndLtV214}};
    for (const auto& g : groups) {
        int free = 0;
        const bool built =
            BuildDataFlashImage(reader, image, QLatin1String(g.lang), QLatin1String(g.version), free);
        if (!built || DataFlashImage::Size - free != qint64(g.lastEnd)) {
            *error = QStringLiteral("(%1, %2): the last file ends at 0x%3, not 0x%4")
                         .arg(QLatin1String(g.lang), QLatin1String(g.version))
                         .arg(DataFlashImage::Size - free, 0, 16)
                         .arg(g.lastEnd, 0, 16);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: quelnet-package-content OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(app.arguments()[1]);
    std::vector<package::PackageFile> files;
    QString error;
    if (!content::BuildContent(files, &error) || !CheckImages(files, &error))
        return Fail(error);
    QByteArray manifest = "# Lang|Version|FileName|path (made by quelnet-package-content)\n";
    // The manifest changes whenever a file does, so that the package is written again.
    quint32 crc = 0;
    for (const package::PackageFile& f : files)
        crc = crc * 16777619u ^ CrcUpdate(f.data.constData(), quint32(f.data.size()));
    manifest += "# content " + QByteArray::number(crc, 16) + '\n';
    for (const package::PackageFile& f : files) {
        const QString lang = f.lang.trimmed().isEmpty() ? QStringLiteral("common") : f.lang;
        const QString path = f.version + QLatin1Char('/') + lang + QLatin1Char('/') + f.name;
        if (!package::WriteIfChanged(out.filePath(path), f.data, &error))
            return Fail(error);
        manifest += QStringList{f.lang, f.version, f.name, path}.join(QLatin1Char('|')).toUtf8() + '\n';
    }
    return package::WriteIfChanged(out.filePath(QStringLiteral("manifest.txt")), manifest, &error)
               ? 0
               : Fail(error);
}
