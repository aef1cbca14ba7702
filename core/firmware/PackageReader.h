#pragma once
// Reader of a firmware package appended to an executable file.
//
// The source delivers the whole file; by default it is the running program's
// own executable. The file is searched for the magic once (the first full match
// wins); the package, from the magic to the end, is then read in place. A
// step that fails is tried again on the next call: an unreadable file is read
// again, a failed search runs again (on the file read anew), a failed size check
// is checked again. Entries are inflated with zlib and checked against both of
// their checksums and their size.

#include "core/firmware/PackageDirectory.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace quelnet {

class PackageReader {
public:
    // The whole file. bytes may point into a mapping of the file that keep holds
    // open; empty bytes mean the file cannot be read.
    struct FileBytes {
        QByteArray bytes;
        std::shared_ptr<void> keep;
    };
    using Source = std::function<FileBytes()>;

    explicit PackageReader(Source source);
    // A source that delivers the whole file as an array, or an empty one.
    explicit PackageReader(std::function<QByteArray()> wholeFile);
    // The running program (QCoreApplication::applicationFilePath()).
    static PackageReader OfRunningProgram();
    // Any file, mapped (or read) when first needed; files above package::MaxFileSize
    // are refused.
    static PackageReader OfFile(const QString& path);
    // Bytes standing for a whole executable file.
    static PackageReader OfBytes(const QByteArray& bytes);

    // The package is located and its directory loaded.
    bool Open();

    // Directory queries; each opens the package first. Empty / false / 0 when
    // it does not open.
    int EntryCount();
    bool ReadEntry(int index, TPackageEntry& entry);
    QStringList Languages(const QString& version);
    QStringList Files(const QString& lang, const QString& version);
    // The first matching record (see PackageDirectory::Find); false when none.
    bool FindEntry(const QString& fileName, int idx, const QString& lang, const QString& version,
                   TPackageEntry& entry);

    // Inflated size of the first matching record with the bytes in buffer, or 0
    // (and an empty buffer) when it is missing, its stream lies outside the data
    // area, a checksum or the size does not match, or inflation fails.
    qint32 Extract(const QString& fileName, int idx, const QString& lang, const QString& version,
                   QByteArray& buffer);
    // The same for a record found before.
    qint32 ExtractEntry(const TPackageEntry& entry, QByteArray& buffer);
    // A record of an empty file (Size 0) whose stream holds, checksums and
    // all, and inflates to nothing: a Size damaged to 0 is not one.
    bool HoldsEmptyFile(const TPackageEntry& entry);

    // State for tools and tests: -1 until known.
    qint64 FileSize() const { return m_fileSize; }
    qint64 MarkerPos() const { return m_markerPos; }
    quint32 DirectoryLength() const { return m_dirLength; }
    quint32 DataLength() const { return m_dataLength; }

private:
    bool FindPackage();
    bool LoadDirectory();
    const char* Data() const; // start of the data area

    Source m_source;
    qint64 m_fileSize = -1;
    qint64 m_markerPos = -1;
    FileBytes m_file;     // the file's bytes, held while the package is read from them
    QByteArray m_package; // raw view of m_file from the magic to its end
    quint32 m_dirLength = 0;
    quint32 m_dataLength = 0;
    std::optional<PackageDirectory> m_directory;
};

} // namespace quelnet
