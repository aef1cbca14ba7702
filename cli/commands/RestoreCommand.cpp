// restore HOST [--config FILE] [--texts FILE] [--network]: the settings job's
// restore with the files given, then a read-back of the areas written. The
// network settings and passwords are overwritten only with --network, after
// the summary of what the controller will take over has been confirmed; they
// are left out of the comparison otherwise, since the controller keeps its own.
#include "cli/CliTexts.h"
#include "cli/HostCommand.h"
#include "cli/SettingsSupport.h"

#include "core/base/InterfaceTexts.h"
#include "core/jobs/AreaFiles.h"
#include "core/jobs/SettingsJob.h"
#include "core/jobs/SettingsSummary.h"

#include <QElapsedTimer>
#include <QThread>

namespace quelnet::cli {

namespace {

const QString NetworkOption = QStringLiteral("network");
const QString RestartWaitOption = QStringLiteral("restart-wait");
const QString ShowPasswordOption = QStringLiteral("show-password");
constexpr int ConfigFirstPage = 0x06;
constexpr int TextsFirstPage = 0x29;
constexpr int PageSize = 256;
constexpr int DownTimeMs = 500; // the controller goes down after the restart command
constexpr int PollMs = 250;

struct Areas {
    QByteArray config, texts; // empty: not restored
};

QString Hex(int value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QChar(u'0')).toUpper();
}

QString PasswordField(const QByteArray& config) {
    const QByteArray field = config.mid(config::ControlPasswordOffset, config::PasswordSize);
    const qsizetype end = field.indexOf('\0');
    return QString::fromLatin1(end < 0 ? field : field.left(end));
}

QString IpField(const QByteArray& config) {
    QStringList parts;
    for (int i = 0; i < 4; ++i)
        parts << QString::number(uchar(config[config::IpOffset + i]));
    return parts.join(u'.');
}

class RestoreCommand : public HostCommand {
public:
    QStringList Words() const override { return {QStringLiteral("restore")}; }
    int HelpOrder() const override { return 60; }
    QString Operands() const override { return QStringLiteral("HOST[:PORT] [--config FILE] [--texts FILE]"); }
    QString Summary() const override { return Tx(txt::RestoreSummary); }
    int SharedOptionsTaken() const override { return SharedForControllers | SharedYes; }
    QList<OptionSpec> Options() const override {
        return {ConfigFileSpec(),
                TextsFileSpec(),
                {NetworkOption, {}, Tx(txt::OptNetwork)},
                {ShowPasswordOption, {}, Tx(txt::OptShowPassword)},
                {RestartWaitOption, QStringLiteral("MS"), Tx(txt::OptRestartWait)}};
    }

protected:
    QString CheckArguments(const Invocation& call, const QStringList& operands, bool batch) const override {
        if (!call.Has(ConfigOption) && !call.Has(TextsOption))
            return Tx(txt::NeedAreaFile);
        if (call.Has(NetworkOption) && !call.Has(ConfigOption))
            return Tx(txt::NetworkNeedsConfig);
        QString error;
        call.IntValue(RestartWaitOption, 0, 0, 3600000, error);
        return error.isEmpty() ? HostCommand::CheckArguments(call, operands, batch) : error;
    }

    HostResult RunHost(HostJob& job, const QStringList&) const override {
        const QString configPath = job.call.Value(ConfigOption), textsPath = job.call.Value(TextsOption);
        Areas written;
        if (!configPath.isEmpty())
            ReadAreaFile(configPath, ConfigAreaSize, written.config);
        if (!textsPath.isEmpty())
            ReadAreaFile(textsPath, TextAreaSize, written.texts);
        const bool network = job.call.Has(NetworkOption) && !written.config.isEmpty();
        if (!Answer(job, written, network))
            return Refusal(job);

        ArgumentFiles files(configPath, textsPath);
        SettingsJob settings(job.link, job.FrontEnd(files));
        if (!settings.Restore(job.Controller()))
            return JobFailure(job);

        HostResult r;
        r.json = {{QStringLiteral("network"), network}, {QStringLiteral("verified"), false}};
        QString password = job.call.settings.password;
        if (network && !AwaitRestart(job, PasswordField(written.config), password)) {
            r.outcome = Outcome::Failed;
            r.error = Tx(txt::NoReconnect).arg(IpField(written.config));
            return r;
        }
        r.error = ReadBack(job, password, written, network);
        if (!r.error.isEmpty()) {
            r.outcome = Outcome::Failed;
            return r;
        }
        r.json.insert(QStringLiteral("verified"), true);
        r.lines << Tx(txt::RestoreDone);
        r.summary = r.lines.first();
        return r;
    }

private:
    // Settles the job's two questions about the network settings before it
    // runs, so that a refusal leaves the controller untouched.
    static bool Answer(HostJob& job, const Areas& written, bool network) {
        job.messages.Preset(Pl(lt::OverwriteNetQuestion), network);
        if (!network)
            return true;
        // The job's summary as the window shows it; on the terminal (and in
        // logs of it) the configuration password is masked unless asked for.
        const QString inUse = job.call.settings.password;
        const QString summary = SettingsSummary(written.config, inUse);
        const QString shown = job.call.Has(ShowPasswordOption)
                                  ? summary
                                  : SettingsSummary(written.config, inUse, SummaryPassword::Masked);
        if (!AskWarning(job.messages, shown))
            return false;
        job.messages.Preset(summary, true);
        return true;
    }

    static HostResult Refusal(const HostJob& job) {
        HostResult r;
        r.outcome = Outcome::Refused;
        r.error = Tx(txt::RefusedByUser);
        if (!job.messages.Notices().isEmpty())
            r.error = job.messages.Notices().last();
        return r;
    }

    // After a restart the controller answers again with the control password
    // of the configuration just written (or, failing that, the one given).
    static bool AwaitRestart(HostJob& job, const QString& newPassword, QString& password) {
        const int waitMs = job.call.Value(RestartWaitOption, QStringLiteral("30000")).toInt();
        job.log.Append(Pl(lt::WaitingReconnect));
        QElapsedTimer clock;
        clock.start();
        QThread::msleep(DownTimeMs);
        do {
            for (const QString& candidate : {newPassword, job.call.settings.password}) {
                QString ver, rea, ser, lng;
                QChar boa;
                bool jumper = false;
                if (job.link.CheckNewQuelnet(job.target.host, job.target.PortText(), candidate, ver, boa,
                                             jumper, rea, ser, lng)) {
                    password = candidate;
                    job.log.RemoveLast();
                    job.log.Append(Pl(lt::ReconnectOk));
                    return true;
                }
            }
            QThread::msleep(PollMs);
        } while (clock.elapsed() < waitMs);
        return false;
    }

    // Reads both areas back and compares what was written; an error text, or
    // empty when they match.
    static QString ReadBack(HostJob& job, const QString& password, const Areas& written, bool network) {
        job.log.Append(Tx(txt::Verifying));
        QByteArray config, texts;
        if (!job.link.GetConfig(job.target.host, job.target.PortText(), password, job.log, job.progress,
                                config, texts))
            return Tx(txt::VerifyFailed);
        const struct {
            const QByteArray& wrote;
            const QByteArray& read;
            int from, firstPage;
            const char* name;
        } areas[] = {
            {written.config, config, network ? 0 : NetworkAndPasswordsEnd, ConfigFirstPage, txt::ConfigArea},
            {written.texts, texts, 0, TextsFirstPage, txt::TextArea}};
        for (const auto& a : areas) {
            if (a.wrote.isEmpty())
                continue;
            if (const std::optional<int> at = FirstDifference(a.wrote, a.read, a.from))
                return Tx(txt::VerifyDifference)
                    .arg(Tx(a.name), Hex(*at, 4), Hex(a.firstPage + *at / PageSize, 3));
        }
        job.log.Append(Tx(txt::VerifyOk));
        return {};
    }
};

} // namespace

std::unique_ptr<Command> MakeRestoreCommand() {
    return std::make_unique<RestoreCommand>();
}

} // namespace quelnet::cli
