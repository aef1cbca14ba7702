#include "core/firmware/PackageEntry.h"

#include <QStringView>

namespace quelnet {

namespace {

constexpr int NumberedFields = 8; // the fields before the file name

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// "$" followed by 1-16 hex digits of either case.
bool ReadHex(QStringView text, qint64& value) {
    if (text.size() < 2 || text.size() > 17 || text[0] != u'$')
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

} // namespace

bool ParsePackageEntry(const QString& line, TPackageEntry& entry) {
    QStringView fields[NumberedFields];
    qsizetype start = 0;
    for (int i = 0; i < NumberedFields; ++i) {
        const qsizetype bar = line.indexOf(u'|', start);
        if (bar < 0)
            return false;
        fields[i] = QStringView(line).mid(start, bar - start);
        start = bar + 1;
    }
    qint64 idx, offset, size, packedSize, dataCrc, packedCrc;
    if (!ReadHex(fields[0], idx) || !ReadHex(fields[3], offset) || !ReadHex(fields[4], size) ||
        !ReadHex(fields[5], packedSize) || !ReadHex(fields[6], dataCrc) || !ReadHex(fields[7], packedCrc))
        return false;
    entry.Idx = qint32(idx);
    entry.Lang = fields[1].toString();
    entry.Version = fields[2].toString();
    entry.Offset = qint32(offset);
    entry.Size = qint32(size);
    entry.PackedSize = qint32(packedSize);
    entry.DataCrc = quint32(dataCrc);
    entry.PackedCrc = quint32(packedCrc);
    entry.FileName = line.mid(start);
    return true;
}

} // namespace quelnet
