#include "sim/SimCircuits.h"

#include "core/protocol/Frames.h"

namespace quelnet::sim {

SimCircuits::SimCircuits(const QList<CircuitSpec>& specs) {
    for (const CircuitSpec& s : specs) {
        const QByteArray key = proto::CircuitNameBytes(s.name);
        if (!m_circuits.contains(key))
            m_order.append(key);
        m_circuits.insert(key, Circuit{s});
    }
}

Circuit* SimCircuits::Find(const QByteArray& nameBytes) {
    auto it = m_circuits.find(nameBytes);
    return it == m_circuits.end() ? nullptr : &it.value();
}

const Circuit* SimCircuits::Find(const QByteArray& nameBytes) const {
    auto it = m_circuits.constFind(nameBytes);
    return it == m_circuits.constEnd() ? nullptr : &it.value();
}

Circuit* SimCircuits::FindByName(const QString& name) {
    return name.size() > proto::CircuitNameSize ? nullptr : Find(proto::CircuitNameBytes(name));
}

const Circuit* SimCircuits::FindByName(const QString& name) const {
    return name.size() > proto::CircuitNameSize ? nullptr : Find(proto::CircuitNameBytes(name));
}

} // namespace quelnet::sim
