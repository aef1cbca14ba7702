#pragma once
// The firmware package the build appends to quelnet, for the tests of the
// update and resources tools (the test programs carry none of their own), and
// the images a controller should hold after those tools ran.

#include "core/firmware/FirmwarePackage.h"
#include "core/firmware/ImageBuilder.h"
#include "core/protocol/Checksums.h"

#include <QByteArray>

namespace quelnet::test {

// Points the process-wide reader at quelnet's package (QUELNET_EXE).
inline void UseProgramPackage() {
    ProcessPackage() = PackageReader::OfFile(QString::fromUtf8(QUELNET_EXE));
}

// A file of the package, by name.
inline QByteArray PackageFile(const QString& name, const QString& lang, const QString& version) {
    QByteArray bytes;
    ProcessPackage().Extract(name, -1, lang, version, bytes);
    return bytes;
}

// The first 0x1D800 bytes of a program image with its check word: WordCrc of
// those bytes taken with the last four zero, stored little-endian in them.
inline QByteArray SealedCopy(const QByteArray& program) {
    QByteArray copy = program.left(0x1D800);
    copy.replace(0x1D7FC, 4, QByteArray(4, '\0'));
    const quint32 word = WordCrc(copy.constData(), quint32(copy.size()));
    for (int i = 0; i < 4; ++i)
        copy[0x1D7FC + i] = char(word >> (8 * i));
    return copy;
}

// The DataFlash image of a package group, with a program copy at 0x2900 when
// one is given.
inline QByteArray GroupImage(const QString& lang, const QString& version, const QByteArray& programCopy = {},
                             const TUser_Resource* resource = nullptr) {
    DataFlashImage image;
    int free = 0;
    if (!BuildDataFlashImage(ProcessPackage(), image, lang, version, free, resource))
        return {};
    QByteArray bytes = image.Bytes();
    if (!programCopy.isEmpty())
        bytes.replace(0x2900, programCopy.size(), programCopy);
    return bytes;
}

} // namespace quelnet::test
