#pragma once
// Home Assistant's discovery for the configured controllers: one retained
// configuration per circuit, published again with the device's details once
// its controller has been identified, and an empty one for every entity the
// bridge published before (DiscoveryLedger) that no bridge publishes now.

#include "bridge/BridgeConfig.h"
#include "bridge/DiscoveryLedger.h"
#include "bridge/MqttLink.h"
#include "bridge/Topics.h"

#include <QHash>
#include <QStringList>
#include <mutex>

namespace quelnet::bridge {

class DiscoveryPublisher {
public:
    DiscoveryPublisher(const BridgeConfig& config, IPublisher& out);

    // The configurations of every circuit, and the removals.
    void Start();
    // A controller told who it is (called on its worker's thread).
    void Identified(const ControllerConfig& controller, const Identity& identity);
    // The broker has taken what Start() published: the ledger now lists it.
    // Once per run; later calls do nothing.
    void Connected();

private:
    void Publish(const ControllerConfig& controller, const Identity& identity);

    const BridgeConfig& m_config;
    IPublisher& m_out;
    DiscoveryLedger m_ledger;
    QStringList m_current; // this bridge's discovery topics
    std::mutex m_mutex;
    QHash<QString, Identity> m_identities;
    bool m_saved = false;
};

} // namespace quelnet::bridge
