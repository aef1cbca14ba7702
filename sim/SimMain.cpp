// quelnet-sim: a simulated Quelnet controller on the local machine.
#include "sim/SimCommandLine.h"
#include "sim/SimController.h"
#include "sim/SimServer.h"
#include "sim/SimSession.h"
#include "sim/SimTraffic.h"
#include "sim/SimWebFiles.h"
#include "core/base/ProgramVersion.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace quelnet::sim;

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[0], &c, 1);
}

// Ctrl+C and SIGTERM end the event loop normally, so that pending DataFlash
// writes reach the file.
void QuitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(g_signalPipe[1], &c, 1);
        QCoreApplication::quit();
    });
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
}

void Print(std::FILE* to, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    // Through the printf family, which the fortified C library checks.
    std::fprintf(to, "%.*s", int(bytes.size()), bytes.constData());
}

QString GenerationName(Generation g) {
    return g == Generation::New ? "new" : g == Generation::Mid ? "mid" : "old";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quelnet-sim");
    const SimCommandLine cl = ParseSimCommandLine(QCoreApplication::arguments());
    if (cl.help) {
        Print(stdout, cl.helpText);
        return 0;
    }
    if (cl.version) {
        Print(stdout, QStringLiteral("quelnet-sim %1\n").arg(QLatin1String(quelnet::ProgramVersion)));
        return 0;
    }
    if (!cl.error.isEmpty()) {
        Print(stderr, "quelnet-sim: " + cl.error + "\nTry quelnet-sim --help.\n");
        return 2;
    }
    SimConfig config = cl.config;
    if (config.generation != Generation::Old) {
        // The web files of the DataFlash are named by the firmware package: by
        // default the one the quelnet program beside the simulator carries.
        const bool asked = !config.packageFile.isEmpty();
        const QString package = asked ? config.packageFile : QCoreApplication::applicationDirPath() + "/quelnet";
        QString error;
        config.webFileNames = ReadWebFileNames(package, config.language, &error);
        if (config.webFileNames.isEmpty() && asked) {
            Print(stderr, "quelnet-sim: " + error + "\n");
            return 1;
        }
        if (config.webFileNames.isEmpty())
            Print(stderr, "quelnet-sim: " + error + ": the web files of the DataFlash are not served.\n");
    }

    SimController controller(config);
    if (!config.flashFile.isEmpty()) {
        QString error, warning;
        if (!controller.LoadFlash(config.flashFile, &error, &warning)) {
            Print(stderr, "quelnet-sim: " + error + "\n");
            return 1;
        }
        if (!warning.isEmpty())
            Print(stderr, "quelnet-sim: " + warning + "\n");
    }
    SimFaults faults(config.faults);
    SimTraffic traffic(config.limits);
    SimServer server(config, controller, faults, traffic);
    QString error;
    if (!server.Listen(&error)) {
        Print(stderr, "quelnet-sim: " + error + "\n");
        return 1;
    }
    QString where = QString("quelnet-sim: %1 generation, version %2")
                        .arg(GenerationName(config.generation), config.EffectiveVersion());
    if (config.generation != Generation::Old)
        where +=
            QString(", control protocol on %1:%2").arg(config.bindAddress.toString()).arg(server.TcpPort());
    where += QString(", HTTP on %1:%2").arg(config.bindAddress.toString()).arg(server.HttpPort());
    Print(stderr, where + (config.demo ? ", demo inputs moving" : "") + ". Ctrl+C ends.\n");
    if (!config.bindAddress.isLoopback())
        Print(stderr, "quelnet-sim: listening beyond this computer, as --bind asked.\n");

    QuitOnSignals(app);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &server, [&server] { server.Stop(); });
    return QCoreApplication::exec();
}
