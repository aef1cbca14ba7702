#include "bridge/Topics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace quelnet::bridge {

namespace {

// Topic prefixes may hold '/'; identifiers may not.
QString Flat(const QString& s) {
    QString out = s;
    out.replace(u'/', u'_');
    return out;
}

QString Component(const CircuitConfig& c) {
    if (c.analog)
        return c.output ? QStringLiteral("number") : QStringLiteral("sensor");
    return c.output ? QStringLiteral("switch") : QStringLiteral("binary_sensor");
}

} // namespace

QString StateTopic(const BridgeSettings& s, const QString& controller, const QString& circuit) {
    return s.prefix + u'/' + controller + u'/' + circuit + QStringLiteral("/state");
}

QString SetTopic(const BridgeSettings& s, const QString& controller, const QString& circuit) {
    return s.prefix + u'/' + controller + u'/' + circuit + QStringLiteral("/set");
}

QString SetPattern(const BridgeSettings& s) {
    return s.prefix + QStringLiteral("/+/+/set");
}

QString AvailabilityTopic(const BridgeSettings& s, const QString& controller) {
    return s.prefix + u'/' + controller + QStringLiteral("/availability");
}

QString BridgeStatusTopic(const BridgeSettings& s) {
    // Bridges sharing the controllers of one configuration each have their own.
    return s.prefix + (s.shard.isEmpty() ? QStringLiteral("/bridge/status") : QStringLiteral("/bridge/") + s.shard + QStringLiteral("/status"));
}

bool SplitSetTopic(const BridgeSettings& s, const QString& topic, QString* controller, QString* circuit) {
    const QString head = s.prefix + u'/';
    if (!topic.startsWith(head))
        return false;
    const QStringList parts = topic.mid(head.size()).split(u'/');
    if (parts.size() != 3 || parts[2] != u"set")
        return false;
    *controller = parts[0];
    *circuit = parts[1];
    return true;
}

QByteArray DigitalPayload(bool on) {
    return on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OFF");
}

QByteArray AnalogPayload(float value) {
    QByteArray text = QByteArray::number(double(value), 'f', 4);
    while (text.contains('.') && (text.endsWith('0') || text.endsWith('.')))
        text.chop(1);
    return text == "-0" ? QByteArrayLiteral("0") : text;
}

Command ParseCommand(const CircuitConfig& circuit, const QByteArray& payload) {
    Command c;
    if (!circuit.output) {
        c.why = QStringLiteral("%1 is an input").arg(circuit.name);
        return c;
    }
    const QByteArray word = payload.trimmed().toUpper();
    if (!circuit.analog) {
        if (word == "ON" || word == "OFF" || word == "TOGGLE") {
            c.ok = true;
            c.mode = word == "OFF" ? 0 : word == "ON" ? 1 : 2;
        } else {
            c.why = QStringLiteral("%1 takes ON, OFF or TOGGLE").arg(circuit.name);
        }
        return c;
    }
    QByteArray number = word;
    number.replace(',', '.');
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < circuit.min || v > circuit.max) {
        c.why = QStringLiteral("%1 takes a number from %2 to %3").arg(circuit.name).arg(circuit.min).arg(circuit.max);
        return c;
    }
    c.ok = true;
    c.value = float(v);
    return c;
}

DiscoveryMessage Discovery(const BridgeSettings& s, const ControllerConfig& controller, const CircuitConfig& circuit,
                           const Identity& identity) {
    const QString node = Flat(s.prefix) + u'_' + controller.name;
    const QString component = Component(circuit);
    QJsonObject device{{QStringLiteral("identifiers"), QJsonArray{node}},
                       {QStringLiteral("name"), controller.name},
                       {QStringLiteral("manufacturer"), QStringLiteral("Quelnet")}};
    if (!identity.serial.isEmpty()) {
        device[QStringLiteral("identifiers")] = QJsonArray{node, QStringLiteral("quelnet_serial_") + identity.serial};
        device[QStringLiteral("serial_number")] = identity.serial;
    }
    if (!identity.board.isEmpty()) {
        device[QStringLiteral("model")] = QStringLiteral("Quelnet ") + identity.board;
        device[QStringLiteral("hw_version")] = identity.board;
    }
    if (!identity.version.isEmpty())
        device[QStringLiteral("sw_version")] = identity.version;

    QJsonObject config{
        {QStringLiteral("name"), circuit.name},
        {QStringLiteral("unique_id"), node + u'_' + circuit.name},
        {QStringLiteral("state_topic"), StateTopic(s, controller.name, circuit.name)},
        {QStringLiteral("availability"),
         QJsonArray{QJsonObject{{QStringLiteral("topic"), AvailabilityTopic(s, controller.name)}},
                    QJsonObject{{QStringLiteral("topic"), BridgeStatusTopic(s)}}}},
        {QStringLiteral("availability_mode"), QStringLiteral("all")},
        {QStringLiteral("payload_available"), QStringLiteral("online")},
        {QStringLiteral("payload_not_available"), QStringLiteral("offline")},
        {QStringLiteral("device"), device},
    };
    if (!circuit.analog) {
        config[QStringLiteral("payload_on")] = QStringLiteral("ON");
        config[QStringLiteral("payload_off")] = QStringLiteral("OFF");
    }
    if (circuit.output)
        config[QStringLiteral("command_topic")] = SetTopic(s, controller.name, circuit.name);
    if (circuit.output && !circuit.analog) {
        config[QStringLiteral("state_on")] = QStringLiteral("ON");
        config[QStringLiteral("state_off")] = QStringLiteral("OFF");
    }
    if (circuit.analog && circuit.output) {
        config[QStringLiteral("min")] = circuit.min;
        config[QStringLiteral("max")] = circuit.max;
        config[QStringLiteral("step")] = circuit.step;
        config[QStringLiteral("mode")] = QStringLiteral("box");
    }
    if (circuit.analog && !circuit.output)
        config[QStringLiteral("state_class")] = QStringLiteral("measurement");
    return {s.discoveryPrefix + u'/' + component + u'/' + node + u'/' + circuit.name + QStringLiteral("/config"),
            QJsonDocument(config).toJson(QJsonDocument::Compact)};
}

} // namespace quelnet::bridge
