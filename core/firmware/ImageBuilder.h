#pragma once
// Assembles the DataFlash image of one (language, version) group of a package.

#include "core/firmware/DataFlashImage.h"
#include "core/firmware/PackageReader.h"
#include "core/firmware/UserResource.h"

namespace quelnet {

// Clears the image and places the group's files in directory order, one slot
// each, skipping the CPU program images (names with "IP_QueL"). With a resource,
// a user page or graphic that can be read replaces the package file of that
// name; one that is missing or empty leaves the default. free holds the value of
// the last placement (0 before any).
//
// False for an empty group, when a placement fails (the build stops there), when
// a package file of the group cannot be extracted (a damaged package must not
// yield an image with files missing and every later slot moved), or when a user
// file is too large to read.
bool BuildDataFlashImage(PackageReader& package, DataFlashImage& image, const QString& lang,
                         const QString& version, int& free, const TUser_Resource* resource = nullptr);

// The names of the image's files in slot order, as BuildDataFlashImage places
// the group's package files (no CPU program images, no empty files): the names
// by which a controller serves them. Empty when the package has no such group.
QStringList ImageSlotNames(PackageReader& package, const QString& lang, const QString& version);

} // namespace quelnet
