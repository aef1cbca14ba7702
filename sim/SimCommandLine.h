#pragma once
// The command line of quelnet-sim, read into a SimConfig.

#include "sim/SimConfig.h"

#include <QString>
#include <QStringList>

namespace quelnet::sim {

struct SimCommandLine {
    SimConfig config;
    bool help = false;    // --help: print helpText and end
    bool version = false; // --version: print the program's version and end
    QString helpText;
    QString error; // not empty: the command line is wrong, nothing is started
};

// `arguments` includes the program name first, as QCoreApplication::arguments().
SimCommandLine ParseSimCommandLine(const QStringList& arguments);

} // namespace quelnet::sim
