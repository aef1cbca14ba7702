#pragma once
// "quelnet --help" and "quelnet --version": answered on standard output before
// any window or display is needed. Only these two exact first arguments are
// taken; every other first argument chooses a mode as before (StartUp.h).

#include <QString>
#include <QStringList>
#include <optional>

namespace quelnet {

// The text to print for `arguments` (program name first, as from
// ArgumentsAsGiven), or nothing when the program is to start a mode.
std::optional<QString> ProgramInfoText(const QStringList& arguments);

} // namespace quelnet
