#pragma once
// The discovery topics the bridge published last time, one a line in a small
// state file. A circuit taken out of the configuration is removed from Home
// Assistant by an empty retained message on its old topic; the bridge learns
// which topics those are from this file.

#include <QString>
#include <QStringList>

namespace quelnet::bridge {

class DiscoveryLedger {
public:
    explicit DiscoveryLedger(QString path) : m_path(std::move(path)) {}
    // The default place: $STATE_DIRECTORY (systemd's StateDirectory=), else
    // $XDG_STATE_HOME or ~/.local/state, in a quelnet-bridge folder, named
    // after the client id.
    static QString DefaultPath(const QString& clientId);

    QStringList Load() const;                 // empty when there is no file
    bool Save(const QStringList& topics, QString* why) const; // whole or not at all
    const QString& Path() const { return m_path; }

private:
    QString m_path;
};

} // namespace quelnet::bridge
