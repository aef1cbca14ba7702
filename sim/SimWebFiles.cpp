#include "sim/SimWebFiles.h"

#include "core/firmware/ImageBuilder.h"
#include "core/firmware/PackageFormat.h"
#include "core/firmware/PackageReader.h"
#include "sim/SimFlash.h"

#include <QFileInfo>

namespace quelnet::sim {

namespace {

constexpr int SlotCount = 192;
constexpr int SlotSize = 8;
constexpr int SystemSlots = 5; // cnfdef.bin, errsys.bin, errnet.bin, errlnk.bin, prog.bin

quint32 Be24(const QByteArray& bytes, int at) {
    return quint32(uchar(bytes.at(at))) << 16 | quint32(uchar(bytes.at(at + 1))) << 8 |
           quint32(uchar(bytes.at(at + 2)));
}

QByteArray ContentType(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return "text/html"; // no character set named: the page says or the browser guesses
    if (suffix == QLatin1String("gif"))
        return "image/gif";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "image/jpeg";
    if (suffix == QLatin1String("png"))
        return "image/png";
    if (suffix == QLatin1String("css"))
        return "text/css";
    if (suffix == QLatin1String("js"))
        return "text/javascript";
    if (suffix == QLatin1String("txt"))
        return "text/plain";
    return "application/octet-stream";
}

} // namespace

WebFileNames ReadWebFileNames(const QString& packageFile, const QString& lang, QString* error) {
    WebFileNames names;
    PackageReader package = PackageReader::OfFile(packageFile);
    if (!package.Open()) {
        *error = QStringLiteral("no firmware package in %1").arg(packageFile);
        return names;
    }
    for (const char* version : {package::Version401f, package::Version214}) {
        const QStringList files = ImageSlotNames(package, lang, QLatin1String(version));
        if (!files.isEmpty())
            names.insert(QLatin1String(version), files);
    }
    if (names.isEmpty())
        *error = QStringLiteral("the firmware package in %1 has no files for language %2").arg(packageFile, lang);
    return names;
}

QString WebFilesVersion(Generation generation) {
    switch (generation) {
    case Generation::New:
        return QLatin1String(package::Version401f);
    case Generation::Mid:
        return QLatin1String(package::Version214);
    case Generation::Old:
        break;
    }
    return {};
}

std::optional<WebFile> FindWebFile(const QStringList& names, const QByteArray& path,
                                   const std::function<QByteArray(quint32, int)>& readFlash) {
    QByteArray name = path;
    if (const qsizetype query = name.indexOf('?'); query >= 0)
        name.truncate(query);
    if (!name.startsWith('/'))
        return std::nullopt;
    name.remove(0, 1);
    int slot = -1;
    for (int i = SystemSlots; i < int(names.size()) && i < SlotCount && slot < 0; ++i) {
        const QString& candidate = names.at(i);
        const bool start = name.isEmpty() && candidate.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
        if (start || (!name.isEmpty() && candidate.compare(QLatin1String(name), Qt::CaseInsensitive) == 0))
            slot = i;
    }
    if (slot < 0)
        return std::nullopt;
    const QByteArray entry = readFlash(quint32(slot * SlotSize), SlotSize);
    if (entry.size() != SlotSize)
        return std::nullopt;
    const quint32 offset = Be24(entry, 1), length = Be24(entry, 5);
    if (offset < quint32(SlotCount * SlotSize) || length == 0 || quint64(offset) + length > SimFlash::Size)
        return std::nullopt;
    return WebFile{ContentType(names.at(slot)), readFlash(offset, int(length))};
}

} // namespace quelnet::sim
