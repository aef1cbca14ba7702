// quelnet-bridge: every configured controller's circuits on an MQTT broker,
// with Home Assistant discovery, as a system service.

#include "bridge/Bridge.h"
#include "bridge/BridgeConfig.h"
#include "bridge/Log.h"
#include "bridge/PanelImport.h"
#include "core/base/ProgramVersion.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

using namespace quelnet::bridge;

namespace {

constexpr const char* DefaultConfig = "/etc/quelnet/bridge.conf";

// Exit statuses: 0 stopped cleanly, 1 failed while running, 2 wrong command
// line or configuration.
constexpr int ExitFailure = 1, ExitUsage = 2;

const char* const Usage =
    "Usage: quelnet-bridge [--config FILE] [--from-panel PANEL] [--shard I/N] [--check | --print-config]\n"
    "\n"
    "Publishes the circuits of Quelnet controllers on an MQTT broker, with Home Assistant\n"
    "discovery. Runs until SIGTERM or SIGINT.\n"
    "\n"
    "  --config FILE       the configuration (default /etc/quelnet/bridge.conf); see bridge/README.md\n"
    "  --from-panel PANEL  the controllers and circuits of a panel file (quelnet_scr.cnf) instead of\n"
    "                      the configuration's [controller] sections; broker and topics still come\n"
    "                      from --config when it is given\n"
    "  --shard I/N         poll only the I-th of N shares of the controllers (1 <= I <= N); every\n"
    "                      controller falls into exactly one share, decided by its name\n"
    "  --check             read the configuration, report faults, and exit\n"
    "  --print-config      print the configuration as read (with --from-panel: as derived) and exit\n"
    "  --help, --version\n"
    "\n"
    "Exit status: 0 stopped cleanly, 1 failure (the broker refused the credentials, ...), 2 wrong\n"
    "command line or configuration.\n";

int UsageError(const QString& text) {
    std::fprintf(stderr, "quelnet-bridge: %s\n(--help lists the options)\n", text.toUtf8().constData());
    return ExitUsage;
}

struct Options {
    QString config, panel;
    bool explicitConfig = false, check = false, print = false;
    int shardIndex = 0, shardCount = 1;
};

bool ParseShard(const QString& text, Options& o) {
    const QStringList parts = text.split(u'/');
    bool ok1 = false, ok2 = false;
    if (parts.size() != 2)
        return false;
    const int i = parts[0].toInt(&ok1), n = parts[1].toInt(&ok2);
    if (!ok1 || !ok2 || n < 1 || i < 1 || i > n)
        return false;
    o.shardIndex = i - 1;
    o.shardCount = n;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Before any thread exists, so that every thread inherits the mask.
    Bridge::BlockStopSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quelnet-bridge"));

    Options o;
    o.config = QString::fromUtf8(DefaultConfig);
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString* out) {
            if (i + 1 >= args.size())
                return false;
            *out = args[++i];
            return true;
        };
        QString v;
        if (a == u"--help" || a == u"-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (a == u"--version") {
            std::printf("quelnet-bridge %s\n", quelnet::ProgramVersion);
            return 0;
        } else if (a == u"--config") {
            if (!value(&o.config))
                return UsageError(QStringLiteral("--config needs a file"));
            o.explicitConfig = true;
        } else if (a == u"--from-panel") {
            if (!value(&o.panel))
                return UsageError(QStringLiteral("--from-panel needs a panel file"));
        } else if (a == u"--shard") {
            if (!value(&v) || !ParseShard(v, o))
                return UsageError(QStringLiteral("--shard takes I/N with 1 <= I <= N"));
        } else if (a == u"--check") {
            o.check = true;
        } else if (a == u"--print-config") {
            o.print = true;
        } else {
            return UsageError(QStringLiteral("unknown argument '%1'").arg(a));
        }
    }

    ConfigResult read;
    if (o.explicitConfig || o.panel.isEmpty())
        read = ReadBridgeConfig(o.config);
    for (const ConfigError& e : read.errors)
        std::fprintf(stderr, "%s\n", e.Text().toUtf8().constData());
    if (!read.Ok())
        return ExitUsage;
    BridgeConfig config = read.config;
    if (!o.panel.isEmpty()) {
        const PanelImport panel = ImportPanel(o.panel);
        if (!panel.error.isEmpty()) {
            std::fprintf(stderr, "%s\n", panel.error.toUtf8().constData());
            return ExitUsage;
        }
        for (const QString& note : panel.notes)
            LogWarning(QStringLiteral("%1: %2").arg(o.panel, note));
        config.controllers = panel.controllers;
    }
    if (config.controllers.isEmpty()) {
        std::fprintf(stderr, "%s: no controller to publish\n",
                     (o.panel.isEmpty() ? o.config : o.panel).toUtf8().constData());
        return ExitUsage;
    }
    config = Shard(config, o.shardIndex, o.shardCount);
    if (o.print) {
        std::fputs(FormatBridgeConfig(config).toUtf8().constData(), stdout);
        return 0;
    }
    if (o.check) {
        int circuits = 0;
        for (const ControllerConfig& c : config.controllers)
            circuits += int(c.circuits.size());
        std::printf("configuration OK: %d controller(s), %d circuit(s)\n", int(config.controllers.size()), circuits);
        return 0;
    }
    if (o.shardCount > 1)
        LogInfo(QStringLiteral("shard %1/%2: %3 controller(s)").arg(o.shardIndex + 1).arg(o.shardCount).arg(config.controllers.size()));
    return Bridge(config).Run() == 0 ? 0 : ExitFailure;
}
