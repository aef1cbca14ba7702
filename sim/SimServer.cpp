#include "sim/SimServer.h"

#include "sim/SimController.h"
#include "sim/SimDemo.h"
#include "sim/SimHttpServer.h"
#include "sim/SimSession.h"
#include "sim/SimTraffic.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace quelnet::sim {

namespace {
constexpr int SaveDelayMs = 500;    // DataFlash file written this long after the last page write
constexpr int ListenRetryMs = 1000; // a port still taken after a restart is tried again
} // namespace

SimServer::SimServer(const SimConfig& config, SimController& controller, SimFaults& faults,
                     SimTraffic& traffic, QObject* parent)
    : QObject(parent), m_config(config), m_controller(controller), m_faults(faults), m_traffic(traffic),
      m_tcp(new QTcpServer(this)), m_http(new SimHttpServer(controller, traffic, config.limits, this)),
      m_saveTimer(new QTimer(this)), m_restartTimer(new QTimer(this)) {
    m_tcpPort = config.tcpPort;
    m_httpPort = config.httpPort;
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(SaveDelayMs);
    m_restartTimer->setSingleShot(true);
    connect(m_tcp, &QTcpServer::newConnection, this, &SimServer::OnNewConnection);
    connect(m_saveTimer, &QTimer::timeout, this, &SimServer::SaveFlash);
    connect(m_restartTimer, &QTimer::timeout, this, &SimServer::ListenAgain);
}

SimServer::~SimServer() {
    Stop();
}

bool SimServer::Listen(QString* error) {
    if (!ListenBoth(error))
        return false;
    if (m_config.demo && !m_demoStarted) {
        m_demoStarted = true;
        (new SimDemo(m_controller, this))->Start();
    }
    return true;
}

bool SimServer::ListenBoth(QString* error) {
    if (m_config.generation != Generation::Old) {
        if (!m_tcp->listen(m_config.bindAddress, m_tcpPort)) {
            *error = QString("cannot listen for the control protocol on %1:%2: %3")
                         .arg(m_config.bindAddress.toString())
                         .arg(m_tcpPort)
                         .arg(m_tcp->errorString());
            return false;
        }
        m_tcpPort = m_tcp->serverPort();
    } else {
        m_tcpPort = 0;
    }
    if (!m_http->Listen(m_config.bindAddress, m_httpPort, error)) {
        m_tcp->close();
        return false;
    }
    m_httpPort = m_http->Port();
    m_listening = true;
    return true;
}

void SimServer::Stop() {
    m_restartTimer->stop();
    CloseAll();
    if (m_saveTimer->isActive())
        SaveFlash();
}

void SimServer::CloseAll() {
    m_listening = false;
    m_tcp->close();
    m_http->Close();
    for (const QPointer<SimSession>& s : std::as_const(m_sessions))
        if (s)
            s->Close();
    m_sessions.clear();
}

void SimServer::OnNewConnection() {
    while (QTcpSocket* socket = m_tcp->nextPendingConnection()) {
        m_sessions.removeAll(nullptr);
        if (m_sessions.size() >= m_config.limits.maxConnections) {
            if (m_config.verbose)
                SimLog(QString("connection refused: %1 open already").arg(m_sessions.size()));
            m_traffic.ConnectionRefused();
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const SimSession::Context context{m_controller, m_faults, m_traffic, m_config.limits,
                                          m_config.verbose};
        auto* session = new SimSession(socket, context, m_traffic.Connections() + 1, this);
        m_sessions.append(session);
        connect(session, &SimSession::RestartRequested, this, &SimServer::Restart);
        connect(session, &SimSession::FlashWritten, this, [this] {
            if (!m_config.flashFile.isEmpty())
                m_saveTimer->start();
        });
    }
}

// A restarting controller drops every connection and is unreachable until it is up again.
void SimServer::Restart() {
    if (!m_listening)
        return;
    CloseAll();
    ++m_restarts;
    if (m_saveTimer->isActive())
        SaveFlash();
    if (m_config.verbose)
        SimLog(QString("restarting: listening again in %1 ms").arg(m_config.restartDelayMs));
    m_restartTimer->start(qMax(0, m_config.restartDelayMs));
}

void SimServer::ListenAgain() {
    QString error;
    if (ListenBoth(&error)) {
        if (m_config.verbose)
            SimLog("restarted");
        return;
    }
    m_tcp->close();
    SimLog(error + "; trying again");
    m_restartTimer->start(ListenRetryMs);
}

void SimServer::SaveFlash() {
    m_saveTimer->stop();
    if (m_config.flashFile.isEmpty())
        return;
    QString error;
    if (!m_controller.SaveFlash(m_config.flashFile, &error))
        SimLog(error);
    else if (m_config.verbose)
        SimLog("DataFlash saved to " + m_config.flashFile);
}

} // namespace quelnet::sim
