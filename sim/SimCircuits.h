#pragma once
// The named circuits of the simulated controller and their states. A circuit is
// found by the 8 name bytes of a request (the name's low character bytes,
// zero-filled). Analog values are kept as the signed 32-bit number that travels
// on the wire (value x 10000), so what is set is read back bit for bit.
// Not thread-safe by itself; SimController guards it.

#include "sim/SimConfig.h"

#include <QByteArray>
#include <QHash>
#include <QList>

namespace quelnet::sim {

struct Circuit {
    CircuitSpec def;
    bool on = false; // digital state
    qint32 raw = 0;  // analog value x 10000
};

class SimCircuits {
public:
    explicit SimCircuits(const QList<CircuitSpec>& specs = SimConfig::DefaultCircuits());

    Circuit* Find(const QByteArray& nameBytes); // nullptr when there is no such circuit
    const Circuit* Find(const QByteArray& nameBytes) const;
    Circuit* FindByName(const QString& name);
    const Circuit* FindByName(const QString& name) const;
    const QList<QByteArray>& Order() const { return m_order; } // name bytes, as configured

private:
    QHash<QByteArray, Circuit> m_circuits;
    QList<QByteArray> m_order;
};

} // namespace quelnet::sim
