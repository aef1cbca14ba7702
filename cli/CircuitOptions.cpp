#include "cli/CircuitOptions.h"

#include "cli/CliTexts.h"

namespace quelnet::cli {

namespace {
constexpr int CircuitNameMax = 8; // the name travels in 8 bytes
}

OptionSpec PointSpec() {
    return {PointOption, QStringLiteral("in|out"), Tx(txt::OptPoint)};
}

QString CheckCircuitOperands(const Invocation& call, const QStringList& names) {
    const QString point = call.Value(PointOption, QStringLiteral("in"));
    if (point != QLatin1String("in") && point != QLatin1String("out"))
        return Tx(txt::BadPoint);
    if (names.isEmpty())
        return Tx(txt::MissingCircuit);
    for (const QString& name : names)
        if (name.isEmpty() || name.size() > CircuitNameMax)
            return Tx(txt::CircuitTooLong).arg(name);
    return {};
}

quint8 PointOf(const Invocation& call) {
    return call.Value(PointOption) == QLatin1String("out") ? 1 : 0;
}

} // namespace quelnet::cli
