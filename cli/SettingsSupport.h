#pragma once
// What backup and restore share: the file options, how the settings job's
// failures map to outcomes, and the read-back comparison of a restore.

#include "cli/HostCommand.h"

#include <QByteArray>
#include <optional>

namespace quelnet::cli {

inline const QString ConfigOption = QStringLiteral("config");
inline const QString TextsOption = QStringLiteral("texts");

OptionSpec ConfigFileSpec();
OptionSpec TextsFileSpec();

// "{host}" in a file name of a batch becomes the controller's host and port.
QString ExpandHost(const QString& pattern, const HostPort& target);

// A failed settings job: refused when it found the programming jumper
// missing, failed otherwise. A 4.x controller that did not take the password
// is named as such.
HostResult JobFailure(HostJob& job);

// The configuration bytes a restore keeps from the target unless told to
// overwrite them: IP address, mask, three further addresses, MAC address,
// name, control password and configuration password (offsets 0 to 73).
inline constexpr int NetworkAndPasswordsEnd = 74;

// The offset of the first byte in which `read` differs from `written`,
// ignoring the bytes before `from`.
std::optional<int> FirstDifference(const QByteArray& written, const QByteArray& read, int from = 0);

} // namespace quelnet::cli
