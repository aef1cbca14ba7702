#include "core/firmware/PackageFormat.h"

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

} // namespace quelnet::package
