// quelnetctl: the command-line front end over the core's device link and jobs.
// No window system is needed: it runs on a QCoreApplication.
#include "cli/CliTexts.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "cli/Tool.h"
#include "core/base/ProgramVersion.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quelnetctl"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(quelnet::ProgramVersion));
    quelnet::cli::HandleInterrupts();
    quelnet::cli::StdConsole console;
    const int status = quelnet::cli::RunTool(QCoreApplication::arguments().mid(1), console);
    if (!quelnet::cli::Interrupted())
        return status;
    console.ErrLine(quelnet::cli::Tx(quelnet::cli::txt::ErrorPrefix)
                        .arg(quelnet::cli::Tx(quelnet::cli::txt::InterruptedText)));
    return quelnet::cli::ExitInterrupted;
}
