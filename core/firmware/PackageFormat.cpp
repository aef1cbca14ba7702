#include "core/firmware/PackageFormat.h"

#include <zlib.h>

namespace quelnet::package {

namespace {

// Volatile, so that the compiler reads the bytes at run time instead of folding
// the reversal into forward constants in the code.
const volatile char kReversedMagic[MagicSize] = {'X', 'g', 'M', 'a', 't', 'a', 'D', 's',
                                                 'n', 'I', 'x', 'e', 'd', 'r', 'o', 'P'};

} // namespace

QByteArray Magic() {
    QByteArray key(MagicSize, '\0');
    for (int i = 0; i < MagicSize; ++i)
        key[i] = kReversedMagic[MagicSize - 1 - i];
    return key;
}

QByteArray Inflate(const char* stream, qint32 packedSize, qint32 size) {
    if (size <= 0 || packedSize < 0)
        return {};
    QByteArray out(size, Qt::Uninitialized);
    uLongf outLength = uLongf(size);
    uLong inLength = uLong(packedSize);
    const int rc = uncompress2(reinterpret_cast<Bytef*>(out.data()), &outLength,
                               reinterpret_cast<const Bytef*>(stream), &inLength);
    if (rc != Z_OK || outLength != uLongf(size))
        return {};
    return out;
}

bool InflatesToNothing(const char* stream, qint32 packedSize) {
    if (packedSize <= 0)
        return false;
    Bytef spare = 0;
    uLongf outLength = 1;
    uLong inLength = uLong(packedSize);
    const int rc = uncompress2(&spare, &outLength, reinterpret_cast<const Bytef*>(stream), &inLength);
    return rc == Z_OK && outLength == 0 && inLength == uLong(packedSize);
}

} // namespace quelnet::package
