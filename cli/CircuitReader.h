#pragma once
// Reads circuits by name without being told their kind: a name is tried as a
// digital circuit first and, when the controller has no digital circuit of
// that name, as an analog one. The kind found is remembered for the next read.

#include "cli/Arguments.h"

#include "core/link/CircuitIo.h"

#include <QHash>
#include <QJsonObject>
#include <QString>

namespace quelnet::cli {

struct CircuitValue {
    bool ok = false;
    bool analog = false;
    bool on = false;      // digital
    float value = 0;      // analog
    bool missing = false; // the controller has no circuit of that name
    QString error;        // after a failure: the device link's text

    QString Text() const;    // "włączony", "wyłączony", "12.5"
    QJsonValue Json() const; // true/false or the number
    QString KindKey() const; // "digital" or "analog"
};

class CircuitReader {
public:
    // `point`: 0 the circuit's input, 1 its output.
    CircuitReader(ICircuitIo& io, const HostPort& target, QString password, quint8 point)
        : m_io(io), m_target(target), m_password(std::move(password)), m_point(point) {}

    CircuitValue Read(const QString& name);

private:
    CircuitValue ReadAs(const QString& name, bool analog);

    ICircuitIo& m_io;
    HostPort m_target;
    QString m_password;
    quint8 m_point;
    QHash<QString, bool> m_analog; // the kind found for each name
};

// The analog value as the tool prints it: up to four decimals, a point.
QString AnalogText(float value);

// True when the device link's error says that the controller has no circuit
// of the kind asked for.
bool IsMissingCircuit(const QString& error, bool analog);

} // namespace quelnet::cli
