#include "bridge/DiscoveryLedger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quelnet::bridge {

QString DiscoveryLedger::DefaultPath(const QString& clientId) {
    QString dir = qEnvironmentVariable("STATE_DIRECTORY").section(u':', 0, 0);
    if (dir.isEmpty()) {
        dir = qEnvironmentVariable("XDG_STATE_HOME");
        if (dir.isEmpty())
            dir = QDir::homePath() + QStringLiteral("/.local/state");
        dir += QStringLiteral("/quelnet-bridge");
    }
    return dir + u'/' + clientId + QStringLiteral(".discovery");
}

QStringList DiscoveryLedger::Load() const {
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

bool DiscoveryLedger::Save(const QStringList& topics, QString* why) const {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly)) {
        *why = f.errorString();
        return false;
    }
    f.write((topics.join(u'\n') + u'\n').toUtf8());
    if (!f.commit()) {
        *why = f.errorString();
        return false;
    }
    return true;
}

} // namespace quelnet::bridge
