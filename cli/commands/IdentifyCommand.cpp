// identify HOST[:PORT]: the controller's version, board, jumper, build, serial
// number, language and generation, trying the generations from the newest.
#include "cli/CliTexts.h"
#include "cli/HostCommand.h"
#include "cli/Identify.h"

#include "core/base/InterfaceTexts.h"

namespace quelnet::cli {

namespace {

const QString HttpPortOption = QStringLiteral("http-port");
const QString ConfigPasswordOption = QStringLiteral("config-password");

class IdentifyCommand : public HostCommand {
public:
    QStringList Words() const override { return {QStringLiteral("identify")}; }
    int HelpOrder() const override { return 10; }
    QString Operands() const override { return QStringLiteral("HOST[:PORT]"); }
    QString Summary() const override { return Tx(txt::IdentifySummary); }
    QList<OptionSpec> Options() const override {
        return {{HttpPortOption, QStringLiteral("PORT"), Tx(txt::OptHttpPort)},
                {ConfigPasswordOption, QStringLiteral("TEXT"), Tx(txt::OptConfigPassword)}};
    }
    bool TakesHostsFile() const override { return true; }

protected:
    QString CheckArguments(const Invocation& call, const QStringList& operands, bool batch) const override {
        if (call.Has(HttpPortOption) && !ParseInt(call.Value(HttpPortOption), 1, 65535))
            return Tx(txt::BadNumber).arg("--" + HttpPortOption).arg(1).arg(65535);
        return HostCommand::CheckArguments(call, operands, batch);
    }

    HostResult RunHost(HostJob& job, const QStringList&) const override {
        const IdentifyRequest request{job.target.host, job.target.PortText(), job.call.settings.password,
                                      job.call.Value(HttpPortOption, QStringLiteral("80")),
                                      job.call.Value(ConfigPasswordOption, QStringLiteral("kpnv"))};
        const Identity id = IdentifyController(job.link, request);
        HostResult r;
        if (id.generation == Generation::None) {
            r.outcome = Outcome::Failed;
            r.error = Pl(lt::CannotDetect) + u' ' + Pl(lt::VerifyAddress);
            return r;
        }
        r.lines << Pl(lt::Detected) << IdentityLines(id);
        r.summary = IdentitySummary(id);
        r.json = IdentityJson(id);
        if (id.passwordRefused) {
            r.outcome = Outcome::Failed;
            r.error = Tx(txt::PasswordRefused);
        }
        return r;
    }
};

} // namespace

std::unique_ptr<Command> MakeIdentifyCommand() {
    return std::make_unique<IdentifyCommand>();
}

} // namespace quelnet::cli
