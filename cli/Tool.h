#pragma once
// The tool's entry: reads the command line, finds the command, checks its
// options, resolves the shared ones (JSON, --yes, password, time-out) and runs
// it. Returns the exit status (Command.h).

#include "cli/Arguments.h"
#include "cli/Console.h"

#include <QList>
#include <QStringList>

namespace quelnet::cli {

// `arguments` without the program name.
int RunTool(const QStringList& arguments, Console& console);

// The shared options of the SharedOption bits `taken` (Command.h), --help first.
QList<OptionSpec> SharedOptions(int taken);

// The password from --password, --password-file, QUELNET_PASSWORD, else the
// factory password 3958; a usage error text in `error`.
QString ResolvePassword(const ParsedArguments& args, QString& error);

} // namespace quelnet::cli
