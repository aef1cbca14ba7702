#include "core/firmware/PackageReader.h"

#include "core/firmware/KeySearch.h"
#include "core/firmware/PackageFormat.h"
#include "core/protocol/Checksums.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>

namespace quelnet {

namespace {

quint32 ReadLe32(const char* p) {
    return quint32(uchar(p[0])) | quint32(uchar(p[1])) << 8 | quint32(uchar(p[2])) << 16 |
           quint32(uchar(p[3])) << 24;
}

// The whole file, mapped when it can be, else read; files above MaxFileSize are refused.
PackageReader::FileBytes MapFile(const QString& path) {
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly) || file->size() <= 0 || file->size() > package::MaxFileSize)
        return {};
    if (const uchar* mapped = file->map(0, file->size()))
        return {QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), file->size()), file};
    return {file->readAll(), {}};
}

} // namespace

PackageReader::PackageReader(Source source) : m_source(std::move(source)) {}

PackageReader::PackageReader(std::function<QByteArray()> wholeFile)
    : m_source([wholeFile] {
          return FileBytes{wholeFile ? wholeFile() : QByteArray(), {}};
      }) {}

PackageReader PackageReader::OfRunningProgram() {
    return PackageReader([]() -> FileBytes {
        if (!QCoreApplication::instance())
            return {};
        return MapFile(QCoreApplication::applicationFilePath());
    });
}

PackageReader PackageReader::OfFile(const QString& path) {
    return PackageReader([path] { return MapFile(path); });
}

PackageReader PackageReader::OfBytes(const QByteArray& bytes) {
    return PackageReader(std::function<QByteArray()>([bytes] { return bytes; }));
}

// Reads the file and searches it for the magic; keeps the package part.
bool PackageReader::FindPackage() {
    if (m_markerPos >= 0)
        return true;
    FileBytes file = m_source ? m_source() : FileBytes{};
    m_fileSize = file.bytes.size();
    if (m_fileSize <= 0)
        return false;
    const QByteArray key = package::Magic();
    m_markerPos = FindKey(file.bytes, 0, m_fileSize, key);
    if (m_markerPos < 0)
        return false;
    // The package is read in place: the file's bytes (or its mapping) stay
    // held for as long as the reader and its copies live.
    m_package = QByteArray::fromRawData(file.bytes.constData() + m_markerPos, m_fileSize - m_markerPos);
    m_file = std::move(file);
    return true;
}

bool PackageReader::LoadDirectory() {
    if (m_directory)
        return true;
    if (m_package.size() < package::HeaderSize)
        return false;
    m_dirLength = ReadLe32(m_package.constData() + 16);
    m_dataLength = ReadLe32(m_package.constData() + 20);
    // 64-bit sum: lengths near 4 GiB must not wrap into a match.
    if (m_markerPos + package::HeaderSize + qint64(m_dirLength) + qint64(m_dataLength) != m_fileSize)
        return false;
    // A directory that does not read whole is refused as a whole, as a package
    // that does not end the file is: no file of it is offered.
    PackageDirectory directory = PackageDirectory::FromText(m_package.mid(package::HeaderSize, m_dirLength));
    if (!directory.Whole() || directory.PackedTotal() != qint64(m_dataLength))
        return false;
    m_directory = std::move(directory);
    return true;
}

const char* PackageReader::Data() const {
    return m_package.constData() + package::HeaderSize + m_dirLength;
}

bool PackageReader::Open() {
    return FindPackage() && LoadDirectory();
}

int PackageReader::EntryCount() {
    return Open() ? m_directory->Count() : 0;
}

bool PackageReader::ReadEntry(int index, TPackageEntry& entry) {
    return Open() && m_directory->Entry(index, entry);
}

QStringList PackageReader::Languages(const QString& version) {
    return Open() ? m_directory->Languages(version) : QStringList();
}

QStringList PackageReader::Files(const QString& lang, const QString& version) {
    return Open() ? m_directory->Files(lang, version) : QStringList();
}

bool PackageReader::FindEntry(const QString& fileName, int idx, const QString& lang, const QString& version,
                              TPackageEntry& entry) {
    const TPackageEntry* found = Open() ? m_directory->Find(fileName, idx, lang, version) : nullptr;
    if (found)
        entry = *found;
    return found != nullptr;
}

qint32 PackageReader::Extract(const QString& fileName, int idx, const QString& lang, const QString& version,
                              QByteArray& buffer) {
    buffer.clear();
    TPackageEntry e;
    return FindEntry(fileName, idx, lang, version, e) ? ExtractEntry(e, buffer) : 0;
}

bool PackageReader::HoldsEmptyFile(const TPackageEntry& e) {
    if (!Open() || e.Size != 0 || e.DataCrc != 0 || e.Offset < 0 || e.PackedSize <= 0 ||
        qint64(e.Offset) + e.PackedSize > qint64(m_dataLength))
        return false;
    const char* stream = Data() + e.Offset;
    return CrcUpdate(stream, quint32(e.PackedSize)) == e.PackedCrc &&
           package::InflatesToNothing(stream, e.PackedSize);
}

qint32 PackageReader::ExtractEntry(const TPackageEntry& e, QByteArray& buffer) {
    buffer.clear();
    if (!Open() || e.Offset < 0 || e.PackedSize <= 0 || e.Size <= 0 || e.Size > package::MaxFileSize ||
        qint64(e.Offset) + e.PackedSize > qint64(m_dataLength))
        return 0;
    const char* stream = Data() + e.Offset;
    if (CrcUpdate(stream, quint32(e.PackedSize)) != e.PackedCrc)
        return 0;
    QByteArray data = package::Inflate(stream, e.PackedSize, e.Size);
    if (data.isEmpty() || CrcUpdate(data.constData(), quint32(data.size())) != e.DataCrc)
        return 0;
    buffer = std::move(data);
    return e.Size;
}

} // namespace quelnet
