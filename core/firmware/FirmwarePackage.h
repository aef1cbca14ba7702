#pragma once
// The firmware package of the running program and the one DataFlash image of the
// process, behind plain functions for the maintenance windows and the command line.
//
// ProcessPackage() reads the program's own executable on first use and keeps it
// until the end. Tests and tools may put another reader in its place, e.g.
//   ProcessPackage() = PackageReader::OfFile(path);
// ProcessDataFlashImage() is what the DataFlash programming sends; the update tool
// copies the sealed program into it (Overwrite at ProgramCopyAddress) after a build.

#include "core/firmware/DataFlashImage.h"
#include "core/firmware/PackageReader.h"
#include "core/firmware/UserResource.h"

namespace quelnet {

PackageReader& ProcessPackage();
DataFlashImage& ProcessDataFlashImage();

bool OpenPackage();
bool ReadPackageEntry(int index, TPackageEntry& entry);
QStringList GetPackageLanguages(const QString& version);
QStringList GetPackageFiles(const QString& lang, const QString& version, int& count);
// Inflated size with the bytes in buffer, or 0 with an empty buffer. Callers pass
// idx -1 to select by name alone.
qint32 ExtractPackageFile(const QString& fileName, int idx, const QString& lang, const QString& version,
                          QByteArray& buffer);
bool PlaceImageFile(int slot, const QByteArray& data, const QString& version, int& free);
bool BuildDataFlashImage(const QString& lang, const QString& version, int& free,
                         const TUser_Resource* resource = nullptr);

} // namespace quelnet
