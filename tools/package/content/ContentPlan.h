#pragma once
// What the program's firmware package holds: 380 files in four groups, in
// directory order (PL V214, LT V214, the common V401f program image, PL V401f),
// with the names and sizes other parts of the program rely on. The sizes of the
// web files are chosen so that the DataFlash images come out as delivered:
//   (PL, V401f) last file ends at 0x5A542, 154,302 bytes free
//   (PL, V214)  last file ends at 0x6CEA4,  78,172 bytes free
//   (LT, V214)  last file ends at 0x6D0C6,  77,626 bytes free
// (HTML pages counted after compaction, V214 files each on a 256-byte boundary).

#include "../PackageWriter.h"

#include <vector>

namespace quelnet::content {

inline constexpr quint32 LastEndPlV401f = 0x5A542;
inline constexpr quint32 LastEndPlV214 = 0x6CEA4;
inline constexpr quint32 LastEndLtV214 = 0x6D0C6;

// All files in package order; false with a message when a file cannot be made
// at its planned size.
bool BuildContent(std::vector<package::PackageFile>& files, QString* error);

} // namespace quelnet::content
