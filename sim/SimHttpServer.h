#pragma once
// The HTTP side of the simulated controller: one request per connection, answered
// from SimStatusPage with the controller's settings as they are now, and closed.

#include "sim/SimConfig.h"

#include <QHash>
#include <QObject>

class QTcpServer;
class QTcpSocket;

namespace quelnet::sim {

class SimController;
class SimTraffic;

class SimHttpServer : public QObject {
    Q_OBJECT
public:
    SimHttpServer(const SimController& controller, SimTraffic& traffic, QObject* parent = nullptr);

    bool Listen(const QHostAddress& address, quint16 port, QString* error);
    void Close(); // stops listening and drops open connections
    quint16 Port() const;

private:
    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);

    const SimController& m_controller;
    SimTraffic& m_traffic;
    QTcpServer* m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

} // namespace quelnet::sim
