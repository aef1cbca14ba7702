// resources HOST [--page K=FILE]… [--graphic K=FILE]… [--dry-run]: the free
// space the user's pages and graphics leave, then the resources job's install
// into a 4.x controller, and every written page read back and compared with
// the image that was sent. The install rewrites the whole DataFlash, the
// configuration and texts included, so they are copied into a new folder
// first, as before an update (--backup-dir, --no-backup).
#include "cli/CliTexts.h"
#include "cli/FirmwareOptions.h"
#include "cli/HostCommand.h"
#include "cli/PageReadBack.h"
#include "cli/UpdateBackup.h"

#include "core/base/InterfaceTexts.h"
#include "core/firmware/FirmwarePackage.h"
#include "core/jobs/ResourcesJob.h"
#include "core/link/DeviceLink.h"
#include "core/protocol/Frames.h"

namespace quelnet::cli {

namespace {

const QString DryRunOption = QStringLiteral("dry-run");

// The job's file dialogs are never opened: the files come from the options.
class NoFiles : public IFileChooser {
public:
    std::optional<QString> ChooseOpenFile(const FileChoice&) override { return std::nullopt; }
    std::optional<QString> ChooseSaveFile(const FileChoice&) override { return std::nullopt; }
};

HostResult ReadBack(HostJob& job, HostResult r) {
    const QByteArray image = ProcessDataFlashImage().Bytes();
    const ReadBackResult back =
        ReadBackPages(job.link, job.target.host, job.target.PortText(), job.call.settings.password, image, 0,
                      proto::FlashPages, job.progress);
    const QString page = QString::number(back.badPage, 16).rightJustified(3, u'0');
    r.json.insert(QStringLiteral("pagesVerified"), back.pages);
    switch (back.status) {
    case ReadBackResult::Status::Same:
        r.lines << Tx(txt::ReadBackOk).arg(back.pages);
        break;
    case ReadBackResult::Status::Differs:
        r.outcome = Outcome::Failed;
        r.error = Tx(txt::ReadBackDiffers).arg(page);
        break;
    case ReadBackResult::Status::NoReply:
        r.outcome = Outcome::Failed;
        r.error = Tx(txt::ReadBackFailed).arg(page);
        break;
    }
    r.summary = r.lines.join(u' ');
    return r;
}

class ResourcesCommand : public HostCommand {
public:
    QStringList Words() const override { return {QStringLiteral("resources")}; }
    int HelpOrder() const override { return 70; }
    QString Operands() const override {
        return QStringLiteral("HOST[:PORT] [--page K=FILE]… [--graphic K=FILE]…");
    }
    QString Summary() const override { return Tx(txt::ResourcesSummary); }
    QList<OptionSpec> Options() const override {
        return ResourceSpecs() + QList<OptionSpec>{{DryRunOption, {}, Tx(txt::OptDryRun)}} + BackupSpecs() +
               QList<OptionSpec>{PackageSpec()};
    }

protected:
    QString CheckArguments(const Invocation& call, const QStringList& operands, bool batch) const override {
        QString error;
        ResourcesOf(call, error);
        if (error.isEmpty())
            error = CheckBackupDir(call);
        if (error.isEmpty())
            error = SelectPackage(call);
        return error.isEmpty() ? HostCommand::CheckArguments(call, operands, batch) : error;
    }

    HostResult RunHost(HostJob& job, const QStringList&) const override {
        QString error;
        const TUser_Resource resource = ResourcesOf(job.call, error);
        HostResult r;
        const std::optional<QString> free = ResourcesJob::FreeSpaceText(resource);
        if (free)
            r.lines << *free;
        r.json = {{QStringLiteral("freeSpace"), free.value_or(QString())},
                  {QStringLiteral("pages"), ResourceCount(resource, true)},
                  {QStringLiteral("graphics"), ResourceCount(resource, false)}};
        if (job.call.Has(DryRunOption)) {
            r.lines << Tx(txt::DryResources)
                           .arg(proto::FlashPages * proto::PageSize)
                           .arg(proto::FlashPages)
                           .arg(ResourceCount(resource, true))
                           .arg(ResourceCount(resource, false))
                    << Tx(txt::DryNothing);
            r.json.insert(QStringLiteral("dryRun"), true);
            r.summary = r.lines.join(u' ');
            return r;
        }
        if (!job.call.Has(NoBackupOption) && !BackUp(job, r))
            return r;
        NoFiles files;
        ResourcesJob install(job.link, job.FrontEnd(files));
        const QString outcome = install.Install(job.Controller(), resource);
        if (outcome != Pl(lt::ResourcesLoaded)) {
            r.outcome = outcome == Pl(lt::NoProgramJumper) ? Outcome::Refused : Outcome::Failed;
            r.error = outcome;
            return r;
        }
        return ReadBack(job, r);
    }

private:
    // The settings of a controller the install will serve (a 4.x controller
    // with the jumper fitted) are copied first; one it will refuse is left to
    // the job, which says why. True to go on.
    static bool BackUp(HostJob& job, HostResult& r) {
        QString ver, rea, ser, lng;
        QChar boa;
        bool jumper = false;
        if (!job.link.CheckNewQuelnet(job.target.host, job.target.PortText(), job.call.settings.password, ver,
                                      boa, jumper, rea, ser, lng) ||
            !jumper)
            return true;
        return BackUpSettings(job, PlannedBackupFolder(job.call, job.target), r);
    }
};

} // namespace

std::unique_ptr<Command> MakeResourcesCommand() {
    return std::make_unique<ResourcesCommand>();
}

} // namespace quelnet::cli
