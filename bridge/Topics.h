#pragma once
// The topic layout and the payloads:
//   PREFIX/NAME/CIRCUIT/state   retained; ON/OFF, or the analog value
//   PREFIX/NAME/CIRCUIT/set     commands: ON, OFF, TOGGLE; a number for analog outputs
//   PREFIX/NAME/availability    retained; online/offline
//   PREFIX/bridge/status        retained; online/offline (the bridge's last will);
//                               PREFIX/bridge/IofN/status for shard I of N
// and Home Assistant's discovery configurations under DISCOVERY/COMPONENT/.

#include "bridge/BridgeConfig.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace quelnet::bridge {

// What a controller told about itself (identification over the control protocol).
struct Identity {
    QString version, board, build, serial;
};

QString StateTopic(const BridgeSettings& s, const QString& controller, const QString& circuit);
QString SetTopic(const BridgeSettings& s, const QString& controller, const QString& circuit);
QString SetPattern(const BridgeSettings& s); // PREFIX/+/+/set
QString AvailabilityTopic(const BridgeSettings& s, const QString& controller);
QString BridgeStatusTopic(const BridgeSettings& s);
// Controller and circuit of a set topic; false for any other topic.
bool SplitSetTopic(const BridgeSettings& s, const QString& topic, QString* controller, QString* circuit);

QByteArray DigitalPayload(bool on);
// At most four decimals (the wire carries ten-thousandths), no trailing zeros.
QByteArray AnalogPayload(float value);

// A command for a circuit: the digital mode (0 off, 1 on, 2 toggle) or the
// analog value; `why` when the payload does not fit the circuit.
struct Command {
    bool ok = false;
    std::uint8_t mode = 0;
    float value = 0;
    QString why;
};
Command ParseCommand(const CircuitConfig& circuit, const QByteArray& payload);

struct DiscoveryMessage {
    QString topic;
    QByteArray payload; // JSON
};
// binary_sensor (digital input), switch (digital output), sensor (analog
// input) or number (analog output). unique_id depends only on the prefix,
// the controller's and the circuit's names, so it survives restarts.
DiscoveryMessage Discovery(const BridgeSettings& s, const ControllerConfig& controller, const CircuitConfig& circuit,
                           const Identity& identity);

} // namespace quelnet::bridge
