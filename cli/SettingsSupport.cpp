#include "cli/SettingsSupport.h"

#include "cli/CliTexts.h"

#include "core/base/InterfaceTexts.h"

namespace quelnet::cli {

OptionSpec ConfigFileSpec() {
    return {ConfigOption, QStringLiteral("FILE"), Tx(txt::OptConfigFile)};
}

OptionSpec TextsFileSpec() {
    return {TextsOption, QStringLiteral("FILE"), Tx(txt::OptTextsFile)};
}

QString ExpandHost(const QString& pattern, const HostPort& target) {
    QString name = pattern;
    return name.replace(QLatin1String("{host}"), target.host + u'_' + target.PortText());
}

HostResult JobFailure(HostJob& job) {
    HostResult r;
    r.outcome = Outcome::Failed;
    const QStringList& notices = job.messages.Notices();
    if (notices.contains(Pl(lt::NoReadJumper)) || notices.contains(Pl(lt::NoWriteJumper))) {
        r.outcome = Outcome::Refused;
    } else if (notices.contains(Pl(lt::NoVersion4))) {
        // Only the long identify frame carries the password: ask without it.
        QString ver, rea, ser, lng;
        QChar boa;
        bool jumper = false;
        if (job.link.CheckMidQuelnet(job.target.host, job.target.PortText(), ver, boa, jumper, rea, ser,
                                     lng) &&
            QString::compare(ver, QLatin1String("V4.0.0")) >= 0)
            r.error = Pl(lt::NoVersion4) + u' ' + Tx(txt::PasswordRefused);
    }
    return r;
}

std::optional<int> FirstDifference(const QByteArray& written, const QByteArray& read, int from) {
    const int n = int(std::max(written.size(), read.size()));
    for (int i = from; i < n; ++i)
        if (i >= written.size() || i >= read.size() || written[i] != read[i])
            return i;
    return std::nullopt;
}

} // namespace quelnet::cli
