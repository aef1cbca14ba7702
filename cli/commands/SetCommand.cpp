// set HOST CIRCUIT on|off|toggle|VALUE: one digital or analog output.
#include "cli/CircuitOptions.h"
#include "cli/CircuitReader.h"
#include "cli/CliTexts.h"
#include "cli/HostCommand.h"

namespace quelnet::cli {

namespace {

// The digital switching modes by their words; anything else is an analog value.
std::optional<quint8> DigitalMode(const QString& word) {
    if (word == QLatin1String("off"))
        return 0;
    if (word == QLatin1String("on"))
        return 1;
    if (word == QLatin1String("toggle"))
        return 2;
    return std::nullopt;
}

class SetCommand : public HostCommand {
public:
    QStringList Words() const override { return {QStringLiteral("set")}; }
    int HelpOrder() const override { return 30; }
    QString Operands() const override { return QStringLiteral("HOST[:PORT] CIRCUIT on|off|toggle|VALUE"); }
    QString Summary() const override { return Tx(txt::SetSummary); }

protected:
    QString CheckArguments(const Invocation& call, const QStringList& operands, bool) const override {
        if (const QString e = CheckCircuitOperands(call, operands.mid(0, 1)); !e.isEmpty())
            return e;
        if (operands.size() < 2)
            return Tx(txt::BadSetValue).arg(QString());
        if (operands.size() > 2)
            return Tx(txt::ExtraArgument).arg(operands[2]);
        if (!DigitalMode(operands[1]) && !ParseAnalogValue(operands[1]))
            return Tx(txt::BadSetValue).arg(operands[1]);
        return {};
    }

    HostResult RunHost(HostJob& job, const QStringList& operands) const override {
        const QString& name = operands[0];
        const QString& word = operands[1];
        const QString& pass = job.call.settings.password;
        const std::optional<quint8> mode = DigitalMode(word);
        const std::optional<float> value = ParseAnalogValue(word);
        const bool ok = mode ? job.link.SetOutDigi(job.target.host, job.target.port, pass, name, *mode)
                             : job.link.SetOutAnal(job.target.host, job.target.port, pass, name, *value);
        job.link.EndComm();
        HostResult r;
        const QString shown = mode ? word : AnalogText(*value);
        r.json = {{QStringLiteral("circuit"), name},
                  {QStringLiteral("kind"), mode ? QStringLiteral("digital") : QStringLiteral("analog")},
                  {QStringLiteral("set"), mode ? QJsonValue(word) : QJsonValue(double(*value))}};
        if (!ok) {
            r.outcome = Outcome::Failed;
            r.error = job.link.GetLastError();
            return r;
        }
        r.lines << Tx(txt::SetDone).arg(name, shown);
        r.summary = r.lines.first();
        return r;
    }
};

} // namespace

std::unique_ptr<Command> MakeSetCommand() {
    return std::make_unique<SetCommand>();
}

} // namespace quelnet::cli
