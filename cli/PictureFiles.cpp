#include "cli/PictureFiles.h"

#include <QFile>
#include <QFileInfo>

namespace quelnet::cli {

namespace {

struct Signature {
    const char* format;
    QByteArray bytes;
};

// The first bytes of each format, as the formats define them.
const Signature Signatures[] = {
    {"png", QByteArray::fromHex("89504E470D0A1A0A")},
    {"gif", QByteArrayLiteral("GIF87a")},
    {"gif", QByteArrayLiteral("GIF89a")},
    {"jpeg", QByteArray::fromHex("FFD8FF")},
    {"ico", QByteArray::fromHex("00000100")}, // reserved 0, type 1 (icon)
    {"bmp", QByteArrayLiteral("BM")},
};
constexpr int HeadSize = 8;

} // namespace

QString PictureFormat(const QByteArray& head) {
    for (const Signature& s : Signatures)
        if (head.startsWith(s.bytes))
            return QString::fromLatin1(s.format);
    return {};
}

PictureState CheckPictureFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile())
        return PictureState::Missing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return PictureState::Unreadable;
    return PictureFormat(file.read(HeadSize)).isEmpty() ? PictureState::UnknownFormat : PictureState::Ok;
}

} // namespace quelnet::cli
