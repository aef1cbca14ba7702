#pragma once
// The controller's own web files, served on its HTTP port by file name from
// its DataFlash: the file table (192 slots of 8 bytes at address 0: 0, offset
// 24-bit big-endian, 0, length 24-bit big-endian) gives each file's place, the
// slot order gives its name (the firmware group's files, as the firmware
// package lists them: ImageSlotNames). "/" is the group's first HTML page.
//
// The first five slots (configuration area, three system blocks, program copy)
// are never served: the configuration area holds the network settings and
// passwords. A slot that is unused, erased or reaches past the DataFlash is no
// file.

#include "sim/SimConfig.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace quelnet::sim {

// File names by package version tag ("V401f", "V214") for one language.
using WebFileNames = QHash<QString, QStringList>;

// Reads the names of both firmware versions' DataFlash files for `lang` from
// the firmware package in `packageFile` (a file with the package appended,
// such as the quelnet program). Empty, with `error` set, when there is none.
WebFileNames ReadWebFileNames(const QString& packageFile, const QString& lang, QString* error);

// The package version tag of the firmware a generation runs; empty for the
// oldest generation, which serves no DataFlash files.
QString WebFilesVersion(Generation generation);

struct WebFile {
    QByteArray contentType;
    QByteArray bytes;
};

// The file a GET of `path` ("/u1.html", "/", "/s1.gif?x=1") asks for, read with
// `readFlash(address, length)`; nothing when `names` has no such file or its
// slot holds none.
std::optional<WebFile> FindWebFile(const QStringList& names, const QByteArray& path,
                                   const std::function<QByteArray(quint32, int)>& readFlash);

} // namespace quelnet::sim
