#include "sim/SimConfig.h"

namespace quelnet::sim {

QList<CircuitSpec> SimConfig::DefaultCircuits() {
    QList<CircuitSpec> list;
    for (int i = 1; i <= 4; ++i)
        list.append({QString("OUT%1").arg(i), false, true});
    for (int i = 1; i <= 4; ++i)
        list.append({QString("IN%1").arg(i), false, false});
    list.append({"AN1", true, false});
    list.append({"AN2", true, false});
    list.append({"AOUT1", true, true});
    return list;
}

QString SimConfig::EffectiveVersion() const {
    if (!version.isEmpty())
        return version;
    switch (generation) {
    case Generation::New:
        return "V4.0.1";
    case Generation::Mid:
        return "V2.1.4";
    case Generation::Old:
        return "V1.3";
    }
    return {};
}

} // namespace quelnet::sim
