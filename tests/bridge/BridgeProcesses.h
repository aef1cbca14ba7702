#pragma once
// The processes around a bridge, all on 127.0.0.1: Debian's mosquitto broker
// on a free port and the built quelnet-bridge with a configuration written by
// the caller (tests and benchmarks). QUELNET_MOSQUITTO_EXE and
// QUELNET_BRIDGE_EXE name the programs.

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace quelnet::test {

inline quint16 FreePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

inline bool WriteText(const QString& path, const QString& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) == text.toUtf8().size();
}

// A mosquitto broker listening on 127.0.0.1 only. `listeners` holds the
// listener blocks after the first line ("listener PORT 127.0.0.1"), one per
// port; the broker keeps nothing across restarts (no persistence).
class Broker {
public:
    explicit Broker(QString dir) : m_dir(std::move(dir)) {}
    ~Broker() { Stop(); }

    // Plain listener on a free port, anonymous clients allowed unless a
    // password file is given.
    bool Start(const QString& extra = {}, int listeners = 1) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_ports.clear();
            for (int i = 0; i < listeners; ++i)
                m_ports << FreePort();
            if (Launch(extra))
                return true;
        }
        return false;
    }
    // The same ports again, after Stop().
    bool Restart() { return Launch(m_extra); }
    void Stop() {
        if (m_process) {
            m_process->kill();
            m_process->waitForFinished(5000);
            m_process.reset();
        }
    }
    quint16 Port(int i = 0) const { return m_ports.value(i); }

private:
    bool Launch(const QString& extra) {
        m_extra = extra;
        const passwd* pw = getpwuid(getuid());
        // Every listener's own settings follow its line; "%PORTn%" in `extra`
        // names the n-th port.
        QString text = QStringLiteral("user %1\npersistence false\nper_listener_settings false\nlog_type error\n")
                           .arg(QString::fromUtf8(pw ? pw->pw_name : "root"));
        QString rest = extra;
        for (int i = 0; i < m_ports.size(); ++i)
            rest.replace(QStringLiteral("%PORT%1%").arg(i), QString::number(m_ports[i]));
        if (!rest.contains(QStringLiteral("listener ")))
            text += QStringLiteral("listener %1 127.0.0.1\n").arg(m_ports[0]);
        if (!rest.contains(QStringLiteral("allow_anonymous")))
            text += QStringLiteral("allow_anonymous true\n");
        text += rest;
        const QString conf = m_dir + QStringLiteral("/mosquitto.conf");
        if (!WriteText(conf, text))
            return false;
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process->start(QStringLiteral(QUELNET_MOSQUITTO_EXE), {QStringLiteral("-c"), conf});
        if (!m_process->waitForStarted(10000))
            return false;
        // Until every port accepts a connection, or the broker gave up (a port taken).
        const QDeadlineTimer deadline(15000);
        for (quint16 port : m_ports) {
            for (;;) {
                if (m_process->state() != QProcess::Running || deadline.hasExpired()) {
                    Stop();
                    return false;
                }
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                if (probe.waitForConnected(200))
                    break;
                m_process->waitForFinished(50);
            }
        }
        return true;
    }

    QString m_dir, m_extra;
    QList<quint16> m_ports;
    std::unique_ptr<QProcess> m_process;
};

// The bridge as a process; standard error is kept for the test to read.
class BridgeProcess {
public:
    ~BridgeProcess() { Kill(); }
    bool Start(const QString& config, const QStringList& extra = {}, const QProcessEnvironment& env = {}) {
        m_process = std::make_unique<QProcess>();
        if (!env.isEmpty())
            m_process->setProcessEnvironment(env);
        m_process->start(QStringLiteral(QUELNET_BRIDGE_EXE), QStringList{QStringLiteral("--config"), config} + extra);
        return m_process->waitForStarted(10000);
    }
    // SIGTERM, then the exit status (-1 when it did not end in time).
    int Terminate(int timeoutMs = 20000) {
        m_process->terminate();
        return Wait(timeoutMs);
    }
    int Wait(int timeoutMs) {
        if (!m_process->waitForFinished(timeoutMs))
            return -1;
        m_err += QString::fromUtf8(m_process->readAllStandardError());
        return m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -2;
    }
    void Kill() {
        if (m_process && m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
    qint64 Pid() const { return m_process ? m_process->processId() : 0; }
    // What the bridge has written to standard error so far.
    QString Err() {
        if (m_process) {
            // Without an event loop the pipe is read only while waiting on it.
            if (m_process->state() == QProcess::Running)
                m_process->waitForReadyRead(50);
            m_err += QString::fromUtf8(m_process->readAllStandardError());
        }
        return m_err;
    }

private:
    std::unique_ptr<QProcess> m_process;
    QString m_err;
};

} // namespace quelnet::test
