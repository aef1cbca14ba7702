// The firmware package reader: the input as a whole executable with a package
// at its end (directory queries and every entry extracted), as a directory text
// alone, and as one zlib stream of an entry. The first byte picks the reading.
#include "core/firmware/PackageDirectory.h"
#include "core/firmware/PackageFormat.h"
#include "core/firmware/PackageReader.h"

#include <cstddef>
#include <cstdint>

using namespace quelnet;

namespace {

void ReadWholePackage(const QByteArray& file) {
    PackageReader reader = PackageReader::OfBytes(file);
    if (!reader.Open())
        return;
    for (const char* version : {package::Version214, package::Version401f})
        for (const QString& lang : reader.Languages(version))
            reader.Files(lang, version);
    QByteArray buffer;
    for (int i = 0; i < reader.EntryCount(); ++i) {
        TPackageEntry entry;
        if (reader.ReadEntry(i, entry))
            reader.ExtractEntry(entry, buffer);
    }
}

void ReadDirectory(const QByteArray& text) {
    const PackageDirectory directory = PackageDirectory::FromText(text);
    TPackageEntry entry;
    for (int i = 0; i < directory.Count(); ++i)
        directory.Entry(i, entry);
    for (const QString& lang : directory.Languages(package::Version401f))
        directory.Find(QStringLiteral("prog.bin"), 0, lang, package::Version401f);
}

// Bytes 0-1: the inflated size (up to 64 KiB); the rest: the stream.
void InflateStream(const QByteArray& bytes) {
    if (bytes.size() < 2)
        return;
    const qint32 size = qint32(uchar(bytes[0])) << 8 | uchar(bytes[1]);
    package::Inflate(bytes.constData() + 2, qint32(bytes.size() - 2), size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    switch (data[0] % 3) {
    case 0:
        ReadWholePackage(rest);
        break;
    case 1:
        ReadDirectory(rest);
        break;
    default:
        InflateStream(rest);
        break;
    }
    return 0;
}
