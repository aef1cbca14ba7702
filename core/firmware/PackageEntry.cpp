#include "core/firmware/PackageEntry.h"

#include <QStringView>

namespace quelnet {

namespace {

constexpr int NumberedFields = 8; // the fields before the file name
constexpr int IdxDigits = 3, NumberDigits = 8, LangLength = 2;

// The digits the writer uses: 0-9 and upper-case A-F.
int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// "$" followed by exactly `digits` hex digits.
bool ReadHex(QStringView text, int digits, qint64& value) {
    if (text.size() != digits + 1 || text[0] != u'$')
        return false;
    quint64 v = 0;
    for (QChar c : text.mid(1)) {
        const int digit = HexDigit(c.unicode());
        if (digit < 0)
            return false;
        v = v << 4 | quint64(digit);
    }
    value = qint64(v);
    return true;
}

// Control characters, and what a byte the code page does not define becomes.
bool HasControlCharacter(QStringView text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == QChar::ReplacementCharacter)
            return true;
    }
    return false;
}

} // namespace

bool ParsePackageEntry(QStringView line, TPackageEntry& entry) {
    QStringView fields[NumberedFields];
    qsizetype start = 0;
    for (int i = 0; i < NumberedFields; ++i) {
        const qsizetype bar = line.indexOf(u'|', start);
        if (bar < 0)
            return false;
        fields[i] = line.mid(start, bar - start);
        start = bar + 1;
    }
    if (HasControlCharacter(line) || fields[1].size() != LangLength || fields[2].isEmpty() ||
        start >= line.size())
        return false;
    qint64 idx, offset, size, packedSize, dataCrc, packedCrc;
    if (!ReadHex(fields[0], IdxDigits, idx) || !ReadHex(fields[3], NumberDigits, offset) ||
        !ReadHex(fields[4], NumberDigits, size) || !ReadHex(fields[5], NumberDigits, packedSize) ||
        !ReadHex(fields[6], NumberDigits, dataCrc) || !ReadHex(fields[7], NumberDigits, packedCrc))
        return false;
    entry.Idx = qint32(idx);
    if (entry.Lang != fields[1])
        entry.Lang = fields[1].toString();
    if (entry.Version != fields[2])
        entry.Version = fields[2].toString();
    entry.Offset = qint32(offset);
    entry.Size = qint32(size);
    entry.PackedSize = qint32(packedSize);
    entry.DataCrc = quint32(dataCrc);
    entry.PackedCrc = quint32(packedCrc);
    entry.FileName = line.mid(start).toString();
    return true;
}

} // namespace quelnet
