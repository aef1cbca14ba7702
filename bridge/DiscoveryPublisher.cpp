#include "bridge/DiscoveryPublisher.h"

#include "bridge/Log.h"

#include <QSet>

namespace quelnet::bridge {

DiscoveryPublisher::DiscoveryPublisher(const BridgeConfig& config, IPublisher& out)
    : m_config(config), m_out(out),
      m_ledger(config.bridge.stateFile.isEmpty() ? DiscoveryLedger::DefaultPath(config.broker.clientId)
                                                 : config.bridge.stateFile) {}

void DiscoveryPublisher::Publish(const ControllerConfig& controller, const Identity& identity) {
    for (const CircuitConfig& k : controller.circuits) {
        const DiscoveryMessage m = Discovery(m_config.bridge, controller, k, identity);
        m_out.Publish(m.topic, m.payload, true);
    }
}

void DiscoveryPublisher::Start() {
    const BridgeSettings& s = m_config.bridge;
    if (!s.discoveryPrefix.isEmpty()) {
        for (const ControllerConfig& c : m_config.controllers) {
            Publish(c, {});
            for (const CircuitConfig& k : c.circuits)
                m_current << Discovery(s, c, k, {}).topic;
        }
    }
    // Entities published last time but configured no more (here or at another
    // bridge of the group): an empty retained configuration removes each.
    QSet<QString> kept(m_current.cbegin(), m_current.cend());
    if (!s.discoveryPrefix.isEmpty())
        for (const ControllerConfig& c : m_config.elsewhere)
            for (const CircuitConfig& k : c.circuits)
                kept.insert(Discovery(s, c, k, {}).topic);
    for (const QString& old : m_ledger.Load())
        if (!kept.contains(old)) {
            LogInfo(QStringLiteral("removing the entity of %1").arg(old));
            m_out.Publish(old, {}, true);
        }
}

void DiscoveryPublisher::Identified(const ControllerConfig& controller, const Identity& identity) {
    if (m_config.bridge.discoveryPrefix.isEmpty())
        return;
    {
        std::lock_guard lock(m_mutex);
        const auto known = m_identities.constFind(controller.name);
        if (known != m_identities.cend() && known->serial == identity.serial && known->version == identity.version &&
            known->board == identity.board)
            return;
        m_identities.insert(controller.name, identity);
    }
    Publish(controller, identity);
}

void DiscoveryPublisher::Connected() {
    std::lock_guard lock(m_mutex);
    if (m_saved)
        return;
    QString why;
    m_saved = m_ledger.Save(m_current, &why);
    if (!m_saved)
        LogWarning(QStringLiteral("cannot keep the published entities in %1: %2").arg(m_ledger.Path(), why));
}

} // namespace quelnet::bridge
