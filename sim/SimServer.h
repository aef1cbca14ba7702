#pragma once
// The network side of one simulated controller: the control protocol on its TCP
// port (not for the old generation), the status pages on its HTTP port, restarts
// after 0xAB/0xAD, the demonstration mode and saving the DataFlash file.
// Lives on one thread (the program's main thread, or SimThread's).

#include "sim/SimConfig.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <atomic>

class QTcpServer;
class QTimer;

namespace quelnet::sim {

class SimController;
class SimFaults;
class SimHttpServer;
class SimSession;
class SimTraffic;

class SimServer : public QObject {
    Q_OBJECT
public:
    SimServer(const SimConfig& config, SimController& controller, SimFaults& faults, SimTraffic& traffic,
              QObject* parent = nullptr);
    ~SimServer() override;

    bool Listen(QString* error); // both ports; the ports chosen are kept for restarts
    void Stop();                 // closes everything and saves the DataFlash file
    quint16 TcpPort() const { return m_tcpPort; }
    quint16 HttpPort() const { return m_httpPort; }
    bool Listening() const { return m_listening; }
    int Restarts() const { return m_restarts; } // since start; counted when the controller goes down

private:
    void OnNewConnection();
    void Restart();
    void ListenAgain();
    void SaveFlash();
    bool ListenBoth(QString* error);
    void CloseAll();

    SimConfig m_config;
    SimController& m_controller;
    SimFaults& m_faults;
    SimTraffic& m_traffic;
    QTcpServer* m_tcp;
    SimHttpServer* m_http;
    QTimer* m_saveTimer;
    QTimer* m_restartTimer;
    QList<QPointer<SimSession>> m_sessions;
    std::atomic<quint16> m_tcpPort{0}, m_httpPort{0};
    std::atomic<bool> m_listening{false};
    std::atomic<int> m_restarts{0};
    bool m_demoStarted = false;
};

} // namespace quelnet::sim
