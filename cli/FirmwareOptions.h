#pragma once
// Options shared by the commands that build DataFlash images: the firmware
// package to read (--package, by default the one appended to the quelnet
// program beside quelnetctl) and the user's pages and graphics
// (--page K=FILE, --graphic K=FILE, repeatable).

#include "cli/Command.h"

#include "core/firmware/UserResource.h"

#include <optional>

namespace quelnet::cli {

inline const QString PackageOption = QStringLiteral("package");
inline const QString PageOption = QStringLiteral("page");
inline const QString GraphicOption = QStringLiteral("graphic");

OptionSpec PackageSpec();
QList<OptionSpec> ResourceSpecs(); // --page, --graphic

// The package file the command reads: --package or quelnet beside this program.
QString PackagePath(const Invocation& call);
// Makes the process read the package from PackagePath. A usage error text when
// the file holds no readable package; empty when it opened.
QString SelectPackage(const Invocation& call);

// The user's resources from --page and --graphic; a usage error text in `error`
// when a value is not K=FILE with K from 1 to 8 or the file cannot be read.
TUser_Resource ResourcesOf(const Invocation& call, QString& error);
int ResourceCount(const TUser_Resource& resource, bool pages);

// A firmware version as the user writes it: "V4.0.1f" or "V2.1.4", or the
// package's tags "V401f" and "V214" for them. The index of the update's
// version choice (0 V2.1.4, 1 V4.0.1f), or nothing.
std::optional<int> FirmwareVersionIndex(const QString& text);

} // namespace quelnet::cli
