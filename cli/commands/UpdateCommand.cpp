// update HOST --to V4.0.1f|V2.1.4 [--lang LL] [--service]: the update window's
// job from the command line, with its refusals. Its questions and what the
// update will do (controller, versions, texts cleared, where the settings are
// copied) make one confirmation, asked before anything is written (--yes
// answers it). Then the configuration and texts of a 4.x controller are copied
// into a new folder (--backup-dir, --no-backup); --dry-run tells what would be
// written and writes nothing.
#include "cli/CliTexts.h"
#include "cli/FirmwareOptions.h"
#include "cli/HostCommand.h"
#include "cli/UpdateBackup.h"

#include "core/base/InterfaceTexts.h"
#include "core/firmware/FirmwarePackage.h"
#include "core/firmware/PackageFormat.h"
#include "core/firmware/ProgramImage.h"
#include "core/jobs/UpdateJob.h"
#include "core/link/DeviceLink.h"
#include "core/protocol/Frames.h"

#include <QMutex>

namespace quelnet::cli {

namespace {

const QString ToOption = QStringLiteral("to");
const QString LangOption = QStringLiteral("lang");
const QString ServiceOption = QStringLiteral("service");
const QString DryRunOption = QStringLiteral("dry-run");
// Test seams: where the controller answers after an update that reset its
// configuration, and how long it takes to restart.
const QString FactoryOption = QStringLiteral("factory-address");
const QString RestartWaitOption = QStringLiteral("restart-wait");

const QString FirstVersion4 = QStringLiteral("V4.0.0");
// A rough figure for one page written and acknowledged, for the estimate only.
constexpr int EstimatedPageMs = 20;

// The package's program and the process's one DataFlash image are shared by
// the workers of a batch: one update builds and sends at a time.
QMutex& ImageMutex() {
    static QMutex mutex;
    return mutex;
}

class NoFiles : public IFileChooser {
public:
    std::optional<QString> ChooseOpenFile(const FileChoice&) override { return std::nullopt; }
    std::optional<QString> ChooseSaveFile(const FileChoice&) override { return std::nullopt; }
};

HostResult Failure(Outcome outcome, const QString& error) {
    HostResult r;
    r.outcome = outcome;
    r.error = error;
    return r;
}

// The program image the job loads for the choice (see UpdateJob).
QString ProgramName(const UpdateIdentity& id, const UpdateChoice& choice, QString& lang) {
    if (choice.version == 1) {
        lang = QLatin1String(package::CommonLang);
        return QStringLiteral("IP_QueL.hex");
    }
    lang = choice.language;
    return QStringLiteral("IP_QueL_") + id.Boa + u'_' + choice.language + QStringLiteral(".hex");
}

// What the update would write, without writing it.
HostResult Plan(const UpdateIdentity& id, const UpdateChoice& choice, bool updConfig, const TfmCommon& link) {
    QString programLang;
    const QString program = ProgramName(id, choice, programLang);
    const QString tag = UpdateJob::PackageTag(choice.version);
    QMutexLocker lock(&ImageMutex());
    QByteArray bytes;
    if (ExtractPackageFile(program, -1, programLang, tag, bytes) != program::ImageSize)
        return Failure(Outcome::Failed, Pl(lt::LoadProgramError));
    int free = 0;
    if (!BuildDataFlashImage(choice.language, tag, free))
        return Failure(Outcome::Failed, Pl(lt::FlashProcessError));
    const int pages = proto::FlashPages;
    const int restartMs = tag == QLatin1String(package::Version401f) ? link.GetTimeouts().RestartWait : 0;
    const int seconds = (pages * EstimatedPageMs + restartMs + 999) / 1000;
    const auto& factory = link.GetFactoryTarget();
    HostResult r;
    r.lines << Tx(txt::DryProgram).arg(program).arg(program::ImageSize).arg(program::CopyAddress, 0, 16)
            << Tx(txt::DryImage).arg(choice.language, tag).arg(pages * proto::PageSize).arg(pages).arg(free)
            << Tx(txt::DryConfig)
                   .arg(updConfig ? Tx(txt::ConfigReset).arg(factory.Host + u':' + factory.PortTcp)
                                  : Tx(txt::ConfigKept))
            << Tx(txt::DryTime).arg(seconds) << Tx(txt::DryNothing);
    r.json = {{QStringLiteral("dryRun"), true},
              {QStringLiteral("program"), program},
              {QStringLiteral("imageSize"), pages * proto::PageSize},
              {QStringLiteral("pages"), pages},
              {QStringLiteral("free"), free},
              {QStringLiteral("estimatedSeconds"), seconds},
              {QStringLiteral("resetsConfiguration"), updConfig}};
    return r;
}

// Where the settings are copied before the update; empty when they are not,
// with the reason in `skipped`.
QString BackupFolder(const HostJob& job, const UpdateIdentity& id, QString& skipped) {
    if (job.call.Has(NoBackupOption)) {
        skipped = Tx(txt::BackupNotAsked);
        return {};
    }
    if (id.Ver < FirstVersion4) {
        skipped = Tx(txt::BackupSkipped).arg(id.Ver);
        return {};
    }
    return PlannedBackupFolder(job.call, job.target);
}

// The job's refusals are said as they are; its questions are not asked one by
// one but gathered into the one confirmation of the update.
class GatheredQuestions : public IMessages {
public:
    explicit GatheredQuestions(IMessages& next) : m_next(next) {}
    MessageAnswer Show(const Message& message) override {
        if (message.buttons == MessageButtons::Ok)
            return m_next.Show(message);
        texts << message.text;
        return MessageAnswer::Yes;
    }
    QStringList texts;

private:
    IMessages& m_next;
};

// The confirmation: what the update will do, then the job's own questions
// (their texts end in "Czy kontynuować ?"), or that question alone.
QString Confirmation(const HostJob& job, const UpdateIdentity& id, const UpdateChoice& choice, bool updConfig,
                     const QString& backup, const QStringList& questions) {
    const auto& factory = job.link.GetFactoryTarget();
    const QChar CR = QChar(0x0D);
    QStringList lines{
        Tx(txt::ConfirmController).arg(job.target.Text(), id.Ser),
        Tx(txt::ConfirmVersion).arg(id.Ver, UpdateJob::VersionNames().value(choice.version), choice.language),
        Tx(txt::DryConfig)
            .arg(updConfig ? Tx(txt::ConfigReset).arg(factory.Host + u':' + factory.PortTcp)
                           : Tx(txt::ConfigKept)),
        Tx(txt::ConfirmTexts),
        backup,
        QString()};
    lines += questions.isEmpty() ? QStringList{Tx(txt::ConfirmQuestion)} : questions;
    return lines.join(CR);
}

class UpdateCommand : public HostCommand {
public:
    QStringList Words() const override { return {QStringLiteral("update")}; }
    int HelpOrder() const override { return 80; }
    QString Operands() const override { return QStringLiteral("HOST[:PORT] --to V4.0.1f|V2.1.4"); }
    QString Summary() const override { return Tx(txt::UpdateSummary); }
    QList<OptionSpec> Options() const override {
        return QList<OptionSpec>{{ToOption, QStringLiteral("V4.0.1f|V2.1.4"), Tx(txt::OptTo)},
                                 {LangOption, QStringLiteral("LL"), Tx(txt::OptUpdateLang)},
                                 {ServiceOption, {}, Tx(txt::OptService)},
                                 {DryRunOption, {}, Tx(txt::OptDryRun)}} +
               BackupSpecs() +
               QList<OptionSpec>{PackageSpec(),
                                 {FactoryOption, QStringLiteral("HOST[:PORT]"), {}},
                                 {RestartWaitOption, QStringLiteral("MS"), {}}};
    }
    bool TakesHostsFile() const override { return true; }
    int SharedOptionsTaken() const override { return SharedForControllers | SharedYes; }

protected:
    QString CheckArguments(const Invocation& call, const QStringList& operands, bool batch) const override {
        if (!FirmwareVersionIndex(call.Value(ToOption)))
            return Tx(txt::BadTarget);
        if (call.Has(FactoryOption) && !ParseHostPort(call.Value(FactoryOption)))
            return Tx(txt::BadFactory).arg(call.Value(FactoryOption));
        if (call.Has(RestartWaitOption) && !ParseInt(call.Value(RestartWaitOption), 0, 600000))
            return Tx(txt::BadNumber).arg("--" + RestartWaitOption).arg(0).arg(600000);
        QString error = CheckBackupDir(call);
        if (error.isEmpty())
            error = SelectPackage(call); // before the workers of a batch start
        if (error.isEmpty() && call.Has(LangOption))
            error = CheckLanguage(call.Value(LangOption), TargetIndex(call));
        return error.isEmpty() ? HostCommand::CheckArguments(call, operands, batch) : error;
    }

    HostResult RunHost(HostJob& job, const QStringList&) const override {
        ConfigureLink(job);
        NoFiles files;
        UpdateJob update(job.link, {job.messages, files, job.log, job.progress}, job.call.Has(ServiceOption));
        const UpdateTarget target{job.target.host, job.target.PortText(), QStringLiteral("80"),
                                  QStringLiteral("kpnv")};
        const UpdateIdentity id = update.Identify(target);
        if (id.found == UpdateIdentity::Found::Nothing)
            return Failure(Outcome::Failed, Pl(lt::CannotDetect) + u' ' + Pl(lt::VerifyAddress));
        if (id.found == UpdateIdentity::Found::StatusPage)
            return Failure(Outcome::Refused, Tx(txt::StatusPageOnly).arg(id.Ver));
        if (!id.Con)
            return Failure(Outcome::Refused, Pl(lt::NoProgramJumper));
        const bool service = job.call.Has(ServiceOption);
        const UpdateChoice choice{TargetIndex(job.call), ChosenLanguage(job.call, id)};
        // Without the service mode the language is the controller's own, when
        // the package has it for the version: --lang may only name that one.
        if (!service && job.call.Has(LangOption) && job.call.Value(LangOption) != choice.language)
            return Failure(Outcome::Refused, Tx(txt::LangNeedsService));
        if (service && !choice.language.isEmpty()) {
            const QString langError = CheckLanguage(choice.language, choice.version);
            if (!langError.isEmpty())
                return Failure(Outcome::Failed, langError);
        }

        HostResult r =
            job.call.Has(DryRunOption) ? DryRun(job, id, choice) : Update(job, update, target, id, choice);
        r.json.insert(QStringLiteral("from"), id.Ver);
        r.json.insert(QStringLiteral("to"), UpdateJob::VersionNames().value(choice.version));
        r.json.insert(QStringLiteral("lang"), choice.language);
        if (r.summary.isEmpty())
            r.summary = r.lines.isEmpty() ? QString() : r.lines.last();
        return r;
    }

private:
    static int TargetIndex(const Invocation& call) {
        return FirmwareVersionIndex(call.Value(ToOption)).value_or(-1);
    }

    static QString CheckLanguage(const QString& lang, int version) {
        QMutexLocker lock(&ImageMutex());
        const QStringList languages = UpdateJob::Languages(version);
        return languages.contains(lang) ? QString()
                                        : Tx(txt::NoSuchLanguage)
                                              .arg(lang, UpdateJob::VersionNames().value(version),
                                                   languages.join(QStringLiteral(", ")));
    }

    // As in the update window: the controller's own language, from the list of
    // V4.0.1f; only the service mode chooses another or another version's list.
    // Without a language the job refuses ("Proszę wybrać wersję językową.").
    static QString ChosenLanguage(const Invocation& call, const UpdateIdentity& id) {
        if (call.Has(ServiceOption))
            return call.Value(LangOption, id.Lng);
        if (TargetIndex(call) != 1)
            return {};
        QMutexLocker lock(&ImageMutex());
        return UpdateJob::Languages(1).contains(id.Lng) ? id.Lng : QString();
    }

    static void ConfigureLink(HostJob& job) {
        if (job.call.Has(FactoryOption)) {
            const HostPort factory = *ParseHostPort(job.call.Value(FactoryOption));
            job.link.SetFactoryTarget({factory.host, factory.PortText()});
        }
        TfmCommon::Timeouts t = job.link.GetTimeouts();
        if (job.call.Has(RestartWaitOption))
            t.RestartWait = *ParseInt(job.call.Value(RestartWaitOption), 0, 600000);
        job.link.SetTimeouts(t);
    }

    // The job's refusals and gathered questions, then the one confirmation:
    // the UpdConfig flag, or nothing when refused.
    static std::optional<bool> Confirm(HostJob& job, const UpdateIdentity& id, const UpdateChoice& choice,
                                       const QString& backup) {
        GatheredQuestions gathered(job.messages);
        NoFiles files;
        UpdateJob check(job.link, {gathered, files, job.log, job.progress}, job.call.Has(ServiceOption));
        const std::optional<bool> updConfig = check.Confirm(id, choice);
        if (!updConfig ||
            !AskWarning(job.messages, Confirmation(job, id, choice, *updConfig, backup, gathered.texts)))
            return std::nullopt;
        return updConfig;
    }

    // The refusals still count in a dry run; its questions are taken as answered yes.
    static HostResult DryRun(HostJob& job, const UpdateIdentity& id, const UpdateChoice& choice) {
        CliMessages quiet([](const QString&) {}, nullptr, true);
        NoFiles files;
        UpdateJob check(job.link, {quiet, files, job.log, job.progress}, job.call.Has(ServiceOption));
        const std::optional<bool> updConfig = check.Confirm(id, choice);
        if (!updConfig)
            return Failure(Outcome::Refused, quiet.Notices().value(0, Tx(txt::UpdateRefused)));
        return Plan(id, choice, *updConfig, job.link);
    }

    static HostResult Update(HostJob& job, UpdateJob& update, const UpdateTarget& target,
                             const UpdateIdentity& id, const UpdateChoice& choice) {
        QString skipped;
        const QString folder = BackupFolder(job, id, skipped);
        const std::optional<bool> updConfig =
            Confirm(job, id, choice, folder.isEmpty() ? skipped : Tx(txt::ConfirmBackup).arg(folder));
        if (!updConfig) {
            const QStringList& notices = job.messages.Notices();
            return Failure(Outcome::Refused, notices.isEmpty() ? Tx(txt::UpdateRefused) : notices.last());
        }
        HostResult r;
        if (folder.isEmpty() && id.Ver < FirstVersion4)
            r.lines << skipped;
        if (!folder.isEmpty() && !BackUpSettings(job, folder, r))
            return r;
        QMutexLocker lock(&ImageMutex());
        const UpdateStep step = update.Install(target, id, choice, *updConfig);
        if (step == UpdateStep::TextsNotCleared) {
            r.outcome = Outcome::Failed;
            r.error = Tx(txt::NotFinished);
            return r;
        }
        if (step != UpdateStep::Done) {
            r.outcome = Outcome::Failed; // the reason is the job's last log line
            return r;
        }
        r.lines << Tx(txt::Updated).arg(UpdateJob::VersionNames().value(choice.version), choice.language);
        return r;
    }
};

} // namespace

std::unique_ptr<Command> MakeUpdateCommand() {
    return std::make_unique<UpdateCommand>();
}

} // namespace quelnet::cli
