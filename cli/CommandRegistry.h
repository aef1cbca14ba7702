#pragma once
// The table of commands.
//
// Adding a command (update, resources, package, ...) takes one file:
// cli/commands/<Name>Command.cpp defining, in namespace quelnet::cli,
//
//     std::unique_ptr<Command> Make<Name>Command();
//
// The build lists cli/commands/*Command.cpp and generates the table from the
// file names (cli/CMakeLists.txt), so nothing else is edited: the command's
// words, usage, help, options (they become known to the parser and to
// --help), and whether it takes --hosts/--jobs are all declared by the class.
// A command on controllers derives from HostCommand and implements RunHost;
// a job of core/jobs is run with the HostJob's front end (CliMessages,
// ArgumentFiles or a chooser of its own, the log and progress given).
// Re-run cmake (the build does it by itself when the folder changes).

#include "cli/Command.h"

#include <memory>
#include <vector>

namespace quelnet::cli {

// Every command, in the order of the tool's help.
std::vector<std::unique_ptr<Command>> AllCommands();

} // namespace quelnet::cli
