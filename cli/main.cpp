// quelnetctl: the command-line front end over the core's device link and jobs.
// No window system is needed: it runs on a QCoreApplication.
#include "cli/Console.h"
#include "cli/Tool.h"
#include "core/base/ProgramVersion.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quelnetctl"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(quelnet::ProgramVersion));
    quelnet::cli::StdConsole console;
    return quelnet::cli::RunTool(QCoreApplication::arguments().mid(1), console);
}
