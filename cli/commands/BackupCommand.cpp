// backup HOST --config FILE --texts FILE: the settings job's back-up with the
// files given on the command line. Files are replaced only once written whole;
// an existing file is replaced only when the user (or --yes) agrees, which is
// asked before the controller is contacted.
#include "cli/CliTexts.h"
#include "cli/HostCommand.h"
#include "cli/SettingsSupport.h"

#include "core/base/InterfaceTexts.h"
#include "core/jobs/SettingsJob.h"

#include <QFileInfo>
#include <QJsonArray>

namespace quelnet::cli {

namespace {

class BackupCommand : public HostCommand {
public:
    QStringList Words() const override { return {QStringLiteral("backup")}; }
    int HelpOrder() const override { return 50; }
    QString Operands() const override { return QStringLiteral("HOST[:PORT] --config FILE --texts FILE"); }
    QString Summary() const override { return Tx(txt::BackupSummary); }
    QList<OptionSpec> Options() const override { return {ConfigFileSpec(), TextsFileSpec()}; }
    QString Details() const override { return Tx(txt::BackupHostsDetails); }
    bool TakesHostsFile() const override { return true; }
    int SharedOptionsTaken() const override { return SharedForControllers | SharedYes; }

protected:
    QString CheckArguments(const Invocation& call, const QStringList& operands, bool batch) const override {
        if (!call.Has(ConfigOption) && !call.Has(TextsOption))
            return Tx(txt::NeedAreaFile);
        for (const QString& option : {ConfigOption, TextsOption})
            if (batch && call.Has(option) && !call.Value(option).contains(QLatin1String("{host}")))
                return Tx(txt::NeedHostInName);
        return HostCommand::CheckArguments(call, operands, batch);
    }

    HostResult RunHost(HostJob& job, const QStringList&) const override {
        const QString config = ExpandHost(job.call.Value(ConfigOption), job.target);
        const QString texts = ExpandHost(job.call.Value(TextsOption), job.target);
        QStringList given;
        for (const QString& path : {config, texts})
            if (!path.isEmpty())
                given << path;
        // Files already there are settled before the controller is read: one
        // not to be replaced refuses the whole backup, with nothing read.
        for (const QString& path : given)
            if (QFileInfo::exists(path) &&
                !AskQuestion(job.messages,
                             Tx(txt::ReplaceNamedFile).arg(path, Pl(lt::ReplaceFileQuestion)))) {
                HostResult refused;
                refused.outcome = Outcome::Refused;
                refused.error = Tx(txt::FileNotReplaced).arg(path);
                refused.json = {{QStringLiteral("saved"), QJsonArray()},
                                {QStringLiteral("notReplaced"), QJsonArray{path}}};
                return refused;
            }
        job.messages.Preset(Pl(lt::ReplaceFileQuestion), true); // the job's own question, answered above
        ArgumentFiles files(config, texts);
        SettingsJob settings(job.link, job.FrontEnd(files));
        if (!settings.BackUp(job.Controller()))
            return JobFailure(job);

        HostResult r;
        for (const QString& path : given)
            r.lines << Tx(txt::FileSaved).arg(path);
        r.json = {{QStringLiteral("saved"), QJsonArray::fromStringList(given)},
                  {QStringLiteral("notReplaced"), QJsonArray()}};
        r.summary = r.lines.join(u' ');
        return r;
    }
};

} // namespace

std::unique_ptr<Command> MakeBackupCommand() {
    return std::make_unique<BackupCommand>();
}

} // namespace quelnet::cli
