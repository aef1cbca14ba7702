#include "core/firmware/ProgramImage.h"

#include "core/protocol/Checksums.h"

namespace quelnet::program {

namespace {

// WordCrc over bytes 0...CopySize-1 with the four check bytes taken as zero.
quint32 CheckWord(QByteArray copy) {
    copy.resize(CopySize);
    copy.replace(CheckWordOffset, 4, QByteArray(4, '\0'));
    return WordCrc(copy.constData(), CopySize);
}

quint32 StoredWord(const QByteArray& program) {
    const auto* p = reinterpret_cast<const uchar*>(program.constData()) + CheckWordOffset;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

} // namespace

bool Seal(QByteArray& program) {
    if (program.size() < CopySize)
        return false;
    const quint32 word = CheckWord(program);
    for (int i = 0; i < 4; ++i)
        program[CheckWordOffset + i] = char(word >> (8 * i));
    return true;
}

bool IsSealed(const QByteArray& program) {
    return program.size() >= CopySize && StoredWord(program) == CheckWord(program);
}

} // namespace quelnet::program
