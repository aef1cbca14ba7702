#include "cli/HostsFile.h"

#include "cli/CliTexts.h"

#include <QFile>

namespace quelnet::cli {

std::optional<QList<HostPort>> ReadHostsFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = Tx(txt::HostsFileError).arg(path);
        return std::nullopt;
    }
    return ParseHostsList(QString::fromUtf8(file.readAll()), path, error);
}

std::optional<QList<HostPort>> ParseHostsList(const QString& text, const QString& name, QString& error) {
    QList<HostPort> hosts;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const std::optional<HostPort> hp = ParseHostPort(line);
        if (!hp) {
            error = Tx(txt::HostsFileLine).arg(name).arg(i + 1).arg(line);
            return std::nullopt;
        }
        hosts << *hp;
    }
    if (hosts.isEmpty()) {
        error = Tx(txt::HostsFileEmpty).arg(name);
        return std::nullopt;
    }
    return hosts;
}

} // namespace quelnet::cli
