#include "bridge/Bridge.h"

#include "bridge/ControllerWorker.h"
#include "bridge/DiscoveryPublisher.h"
#include "bridge/Log.h"
#include "bridge/MqttLink.h"
#include "bridge/Topics.h"

#include <QHash>

#include <csignal>
#include <ctime>
#include <memory>
#include <mutex>
#include <systemd/sd-daemon.h>
#include <vector>

namespace quelnet::bridge {

namespace {

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// How long the broker gets to take the last messages when stopping.
constexpr int GoodbyeWaitMs = 3000;

} // namespace

void Bridge::BlockStopSignals() {
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int Bridge::Run() {
    const BridgeSettings& s = m_config.bridge;
    MqttLink mqtt(m_config.broker, BridgeStatusTopic(s));

    // Discovery first, so that it goes out before any state on every connection.
    DiscoveryPublisher discovery(m_config, mqtt);
    discovery.Start();
    mqtt.onConnected = [&] { discovery.Connected(); };

    std::vector<std::unique_ptr<ControllerWorker>> workers;
    QHash<QString, ControllerWorker*> byName;
    for (const ControllerConfig& c : m_config.controllers) {
        workers.push_back(std::make_unique<ControllerWorker>(c, s, mqtt));
        ControllerWorker* w = workers.back().get();
        byName.insert(c.name, w);
        w->onIdentified = [&discovery, w](const Identity& id) { discovery.Identified(w->Config(), id); };
    }
    mqtt.onMessage = [&](const QString& topic, const QByteArray& payload) {
        QString controller, circuit;
        if (!SplitSetTopic(s, topic, &controller, &circuit))
            return;
        if (ControllerWorker* w = byName.value(controller))
            w->Command(circuit, payload);
    };
    mqtt.Subscribe(SetPattern(s));

    QString why;
    if (!mqtt.Start(&why)) {
        LogError(why);
        return 1;
    }
    for (auto& w : workers)
        w->Start();
    LogInfo(QStringLiteral("polling %1 controller(s); topics under %2/").arg(workers.size()).arg(s.prefix));
    sd_notifyf(0, "READY=1\nSTATUS=Polling %d controller(s)", int(workers.size()));

    std::uint64_t watchdogUs = 0;
    if (sd_watchdog_enabled(0, &watchdogUs) <= 0)
        watchdogUs = 0;
    const long sliceMs = watchdogUs ? long(std::min<std::uint64_t>(watchdogUs / 2000, 250)) : 250;
    const sigset_t stopSignals = StopSignals();
    int status = 0;
    bool stuckLogged = false;
    for (;;) {
        const timespec slice{sliceMs / 1000, (sliceMs % 1000) * 1000000L};
        const int sig = sigtimedwait(&stopSignals, nullptr, &slice);
        if (sig > 0) {
            LogInfo(QStringLiteral("stopping (signal %1)").arg(sig));
            break;
        }
        if (mqtt.Refused()) {
            LogError(mqtt.RefusedText());
            status = 1;
            break;
        }
        // A worker that makes no progress any more stops the pings: the
        // service manager then restarts the bridge.
        bool alive = true;
        for (const auto& w : workers)
            if (w->Stuck()) {
                alive = false;
                if (!stuckLogged)
                    LogError(QStringLiteral("%1: no progress; the watchdog is no longer fed").arg(w->Config().name));
                stuckLogged = true;
            }
        if (watchdogUs && alive)
            sd_notify(0, "WATCHDOG=1");
    }
    sd_notify(0, "STOPPING=1");
    for (auto& w : workers)
        w->Stop();
    QList<std::pair<QString, QByteArray>> last;
    for (const ControllerConfig& c : m_config.controllers)
        last.append({AvailabilityTopic(s, c.name), "offline"});
    mqtt.Stop(last, status == 0 ? GoodbyeWaitMs : 0);
    return status;
}

} // namespace quelnet::bridge
