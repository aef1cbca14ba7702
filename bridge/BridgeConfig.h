#pragma once
// The bridge's configuration: the broker, the topic layout and the
// controllers with their circuits. Read from a small INI-like file (the format
// is described in bridge/README.md); every fault is reported with the file,
// the line and the field it concerns.

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace quelnet::bridge {

struct BrokerConfig {
    QString host = QStringLiteral("127.0.0.1");
    std::uint16_t port = 1883;
    QString clientId = QStringLiteral("quelnet-bridge");
    QString user;
    QString password; // read from password_file; never logged
    QString passwordFile;
    QString caFile, certFile, keyFile; // TLS when caFile is set
    int keepaliveS = 30;
};

struct BridgeSettings {
    QString prefix = QStringLiteral("quelnet");
    QString discoveryPrefix = QStringLiteral("homeassistant"); // empty: no discovery
    int republishPeriods = 20; // a value is published at least every N reads
    QString stateFile;         // discovery topics published last time
    int linkTimeoutMs = 5000;  // connect and reply time-out of one exchange
    int retryMaxMs = 60000;    // longest pause before a dead controller is tried again
    // Set for one of several bridges sharing a configuration ("2of3"): its
    // status topic, client id and state file are its own.
    QString shard;
};

struct CircuitConfig {
    QString name;
    bool analog = false;
    bool output = false;
    std::uint32_t periodMs = 1000;
    // Analog outputs: the range offered to the user and the step of a value.
    double min = 0, max = 100, step = 1;
    int line = 0; // where it was configured (0 when derived)
};

struct ControllerConfig {
    QString name;
    QString address;
    std::uint16_t port = 7080;
    QString password = QStringLiteral("3958");
    QList<CircuitConfig> circuits;
    int line = 0;
};

struct BridgeConfig {
    BrokerConfig broker;
    BridgeSettings bridge;
    QList<ControllerConfig> controllers;
    // Controllers of the same configuration that other bridges of a group
    // poll (--shard): their entities are never removed by this bridge.
    QList<ControllerConfig> elsewhere;
};

struct ConfigError {
    QString file;
    int line = 0;    // 0: the file as a whole
    QString field;   // the key, or a section name
    QString message;
    QString Text() const; // "FILE:LINE: field 'port': ..."
};

struct ConfigResult {
    BridgeConfig config;
    QList<ConfigError> errors;
    bool Ok() const { return errors.isEmpty(); }
};

// Parses the text of a configuration file. `file` names it in the errors and
// is the base of relative password files.
ConfigResult ParseBridgeConfig(const QString& file, const QString& text);
// Reads and parses a file (an unreadable file is one error on line 0).
ConfigResult ReadBridgeConfig(const QString& file);

// Names that go into topics: letters, digits, '_' and '-'.
bool IsTopicName(const QString& name);

// The configuration in the file's own format (passwords are written as they
// were given, so that a derived configuration can be used as it stands).
QString FormatBridgeConfig(const BridgeConfig& config);

// Keeps the controllers of shard `index` (0-based) out of `count`: a stable
// hash of the controller's name decides, so every bridge of a group agrees.
QList<ControllerConfig> ShardControllers(const QList<ControllerConfig>& all, int index, int count);
// The configuration of shard `index` of `count`: its controllers, and a
// client id, state file and status topic of its own (count 1: unchanged).
BridgeConfig Shard(const BridgeConfig& config, int index, int count);

} // namespace quelnet::bridge
