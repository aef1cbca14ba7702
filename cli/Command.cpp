#include "cli/Command.h"

#include "cli/CliTexts.h"

#include <QJsonDocument>

namespace quelnet::cli {

int Invocation::IntValue(const QString& option, int fallback, int min, int max, QString& error) const {
    if (!Has(option))
        return fallback;
    const std::optional<int> v = ParseInt(Value(option), min, max);
    if (!v) {
        error = Tx(txt::BadNumber).arg("--" + option).arg(min).arg(max);
        return fallback;
    }
    return *v;
}

TfmCommon::Timeouts Invocation::Timeouts() const {
    TfmCommon::Timeouts t;
    t.Link = settings.linkTimeoutMs;
    return t;
}

int Invocation::UsageError(const QString& text) const {
    console.ErrLine(Tx(txt::ErrorPrefix).arg(text));
    return ExitUsage;
}

void Invocation::PrintJson(const QJsonObject& object) const {
    console.Out(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
}

} // namespace quelnet::cli
