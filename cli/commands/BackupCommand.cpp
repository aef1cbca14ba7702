// backup HOST --config FILE --texts FILE: the settings job's back-up with the
// files given on the command line. Files are replaced only once written whole;
// an existing file is replaced only when the user (or --yes) agrees.
#include "cli/CliTexts.h"
#include "cli/HostCommand.h"
#include "cli/SettingsSupport.h"

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
    bool TakesHostsFile() const override { return true; }

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
        // The job asks before replacing an existing file, in the order of the files.
        QStringList given, existed;
        for (const QString& path : {config, texts})
            if (!path.isEmpty()) {
                given << path;
                if (QFileInfo::exists(path))
                    existed << path;
            }
        ArgumentFiles files(config, texts);
        SettingsJob settings(job.link, job.FrontEnd(files));
        if (!settings.BackUp(job.Controller()))
            return JobFailure(job);

        HostResult r;
        QStringList saved, kept;
        const QList<bool>& answers = job.messages.Answers();
        for (const QString& path : given) {
            const qsizetype asked = existed.indexOf(path);
            const bool replaced = asked < 0 || (asked < answers.size() && answers[asked]);
            (replaced ? saved : kept) << path;
            r.lines << Tx(replaced ? txt::FileSaved : txt::FileNotReplaced).arg(path);
        }
        r.json = {{QStringLiteral("saved"), QJsonArray::fromStringList(saved)},
                  {QStringLiteral("notReplaced"), QJsonArray::fromStringList(kept)}};
        r.summary = r.lines.join(u' ');
        if (!kept.isEmpty()) {
            r.outcome = Outcome::Refused;
            r.error = Tx(txt::FileNotReplaced).arg(kept.first());
        }
        return r;
    }
};

} // namespace

std::unique_ptr<Command> MakeBackupCommand() {
    return std::make_unique<BackupCommand>();
}

} // namespace quelnet::cli
