#pragma once
// One record of the package directory.

#include <QString>
#include <QtGlobal>

namespace quelnet {

struct TPackageEntry {
    qint32 Idx = 0;        // number within its (Lang, Version) group, from 0
    QString Lang;          // "PL", "LT", or "  " for a file common to all languages
    QString Version;       // package version tag, "V214" or "V401f"
    qint32 Offset = 0;     // start of the zlib stream in the data area
    qint32 Size = 0;       // length after inflation
    qint32 PackedSize = 0; // length of the zlib stream
    quint32 DataCrc = 0;   // CrcUpdate over the inflated bytes
    quint32 PackedCrc = 0; // CrcUpdate over the zlib stream
    QString FileName;      // everything after the eighth "|"
};

// Splits one directory line at "|" from the left and reads it in exactly the
// form the package writer gives it: Idx "$" + 3 upper-case hex digits, Lang 2
// characters, Version not empty, the five numbers "$" + 8 upper-case hex
// digits each, a file name that is not empty; no control character anywhere.
// False for anything else, so that a damaged line never yields made-up
// offsets or names. Strings of entry that already hold a field's text are
// kept as they are (shared, not copied).
bool ParsePackageEntry(QStringView line, TPackageEntry& entry);

} // namespace quelnet
