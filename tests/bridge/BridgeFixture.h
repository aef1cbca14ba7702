#pragma once
// The pieces of a bridge test, all on 127.0.0.1: Debian's mosquitto broker on
// a free port, simulated controllers on their own threads, and the built
// quelnet-bridge as a process with a configuration written by the test.

#include "sim/SimThread.h"
#include "tests/bridge/MqttProbe.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>
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
    QString Err() {
        if (m_process)
            m_err += QString::fromUtf8(m_process->readAllStandardError());
        return m_err;
    }

private:
    std::unique_ptr<QProcess> m_process;
    QString m_err;
};

// One simulated controller (the default circuits: IN1-4, OUT1-4, AN1, AN2, AOUT1).
inline std::unique_ptr<sim::SimThread> StartSim(quint16 port = 0, const QString& serial = QStringLiteral("S0817092")) {
    sim::SimConfig config;
    config.tcpPort = port;
    config.serial = serial;
    auto s = std::make_unique<sim::SimThread>(config);
    if (!s->Start())
        return nullptr;
    return s;
}

class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    // A configuration for the broker's first port and the given controllers
    // ("[controller NAME]" sections); the state file lives in the test folder.
    QString WriteConfig(const QString& controllers, const QString& broker = {}, const QString& bridge = {},
                        const QString& name = QStringLiteral("bridge.conf")) {
        const QString text = QStringLiteral("[broker]\nhost = 127.0.0.1\nport = %1\nclient_id = test-bridge\n%2\n"
                                            "[bridge]\nprefix = quelnet\nstate_file = %3\nlink_timeout_ms = 1000\n"
                                            "retry_max_ms = 400\n%4\n%5")
                                 .arg(broker.contains(QStringLiteral("port =")) ? 0 : this->broker.Port())
                                 .arg(broker, Path(QStringLiteral("entities")), bridge, controllers);
        QString fixed = text;
        if (broker.contains(QStringLiteral("port =")))
            fixed.replace(QStringLiteral("port = 0\n"), QString());
        WriteText(Path(name), fixed);
        return Path(name);
    }
    static QString Controller(const QString& name, quint16 port, const QString& circuits) {
        return QStringLiteral("[controller %1]\naddress = 127.0.0.1\nport = %2\npassword = 3958\n%3\n")
            .arg(name)
            .arg(port)
            .arg(circuits);
    }

    QTemporaryDir dir;
    Broker broker{dir.path()};
};

} // namespace quelnet::test
