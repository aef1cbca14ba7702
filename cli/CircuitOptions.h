#pragma once
// What get, set and watch share: the circuit names of the operands and the
// --point option.

#include "cli/Command.h"

namespace quelnet::cli {

inline const QString PointOption = QStringLiteral("point");

OptionSpec PointSpec();
// A usage error text for missing or too long names, or a wrong --point.
QString CheckCircuitOperands(const Invocation& call, const QStringList& names);
// 0 (input) or 1 (output) from --point.
quint8 PointOf(const Invocation& call);

} // namespace quelnet::cli
