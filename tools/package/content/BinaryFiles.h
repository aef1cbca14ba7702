#pragma once
// The binary files of the package: CPU program images and the default configuration.

#include <QByteArray>
#include <QString>

namespace quelnet::content {

// A 131,072-byte program image: code-like bytes, the version and variant texts at
// the offsets of core/firmware/ProgramImage.h, the check word left zero (the
// update tool seals the image), the part beyond the DataFlash copy erased (0xFF).
QByteArray ProgramImage(const QString& versionText, const QString& variantText);

// The 8,192-byte configuration area as delivered: 192.168.0.177, 255.255.255.0,
// three addresses 192.168.0.1, name "QUELNET_1", passwords "3958" and "kpnv".
QByteArray DefaultConfiguration();

} // namespace quelnet::content
