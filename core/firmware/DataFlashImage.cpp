#include "core/firmware/DataFlashImage.h"

#include "core/firmware/HtmlCompaction.h"
#include "core/firmware/PackageFormat.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quelnet {

namespace {

constexpr qint64 LastStart = DataFlashImage::Size - 1; // 0x7FFFF

void WriteBe24(char* p, quint32 value) {
    p[0] = char(value >> 16);
    p[1] = char(value >> 8);
    p[2] = char(value);
}

} // namespace

quint32 DataFlashImage::ReadBe32(qsizetype at) const {
    const char* p = m_bytes.constData() + at;
    return quint32(uchar(p[0])) << 24 | quint32(uchar(p[1])) << 16 | quint32(uchar(p[2])) << 8 |
           quint32(uchar(p[3]));
}

quint32 DataFlashImage::SlotOffset(int slot) const {
    return slot >= 0 && slot < SlotCount ? ReadBe32(qsizetype(slot) * SlotSize) : 0;
}

quint32 DataFlashImage::SlotLength(int slot) const {
    return slot >= 0 && slot < SlotCount ? ReadBe32(qsizetype(slot) * SlotSize + 4) : 0;
}

bool DataFlashImage::StartOffset(int slot, const QString& version, qint64& offset) const {
    const bool v401f = version == QLatin1String(package::Version401f);
    if (!v401f && version != QLatin1String(package::Version214))
        return false;
    if (slot == 0) {
        offset = FirstFileOffset;
        return true;
    }
    const qint64 previousOffset = SlotOffset(slot - 1);
    const qint64 previousLength = SlotLength(slot - 1);
    if (previousOffset == 0 || previousLength == 0)
        return false;
    offset = previousOffset + previousLength;
    if (v401f)
        return offset <= LastStart;
    offset = (offset + PageSize - 1) / PageSize * PageSize;
    return true;
}

bool DataFlashImage::PlaceFile(int slot, const QByteArray& data, const QString& version, int& free) {
    free = 0;
    if (slot < 0 || slot >= SlotCount)
        return false;
    const QByteArray file = CompactHtml(data);
    char* entry = m_bytes.data() + qsizetype(slot) * SlotSize;
    if (std::memcmp(entry, "\0\0\0\0\0\0\0\0", SlotSize) != 0)
        return false;
    qint64 offset = 0;
    if (!StartOffset(slot, version, offset))
        return false;
    const qint64 end = offset + file.size();
    free = int(std::max<qint64>(Size - end, std::numeric_limits<int>::min()));
    if (end > Size)
        return false; // never written past the image
    m_clean = false;
    entry[0] = 0;
    WriteBe24(entry + 1, quint32(offset));
    entry[4] = 0;
    WriteBe24(entry + 5, quint32(file.size()));
    if (file.isEmpty())
        return false;
    std::memcpy(m_bytes.data() + offset, file.constData(), size_t(file.size()));
    return true;
}

bool DataFlashImage::Overwrite(quint32 address, const QByteArray& bytes) {
    if (qint64(address) + bytes.size() > Size)
        return false;
    m_clean = false;
    std::memcpy(m_bytes.data() + address, bytes.constData(), size_t(bytes.size()));
    return true;
}

} // namespace quelnet
