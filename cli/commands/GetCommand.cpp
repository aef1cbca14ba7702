// get HOST CIRCUIT...: one read of each circuit on one link.
#include "cli/CircuitOptions.h"
#include "cli/CircuitReader.h"
#include "cli/CliTexts.h"
#include "cli/HostCommand.h"

#include <QJsonArray>

namespace quelnet::cli {

namespace {

class GetCommand : public HostCommand {
public:
    QStringList Words() const override { return {QStringLiteral("get")}; }
    int HelpOrder() const override { return 20; }
    QString Operands() const override { return QStringLiteral("HOST[:PORT] CIRCUIT…"); }
    QString Summary() const override { return Tx(txt::GetSummary); }
    QList<OptionSpec> Options() const override { return {PointSpec()}; }
    bool TakesHostsFile() const override { return true; }

protected:
    QString CheckArguments(const Invocation& call, const QStringList& operands, bool) const override {
        return CheckCircuitOperands(call, operands);
    }

    HostResult RunHost(HostJob& job, const QStringList& names) const override {
        CircuitReader reader(job.link, job.target, job.call.settings.password, PointOf(job.call));
        HostResult r;
        QJsonArray circuits;
        QStringList summary, errors;
        for (const QString& name : names) {
            const CircuitValue v = reader.Read(name);
            QJsonObject o{{QStringLiteral("name"), name}};
            if (v.ok) {
                r.lines << name + QStringLiteral(": ") + v.Text();
                summary << name + u'=' + v.Text();
                o.insert(QStringLiteral("kind"), v.KindKey());
                o.insert(QStringLiteral("value"), v.Json());
            } else {
                errors << v.error;
                o.insert(QStringLiteral("error"), v.error);
            }
            circuits.append(o);
        }
        r.json.insert(QStringLiteral("circuits"), circuits);
        r.summary = summary.join(u' ');
        if (!errors.isEmpty()) {
            r.outcome = Outcome::Failed;
            r.error = errors.join(u'\n');
        }
        job.link.EndComm();
        return r;
    }
};

} // namespace

std::unique_ptr<Command> MakeGetCommand() {
    return std::make_unique<GetCommand>();
}

} // namespace quelnet::cli
