#pragma once
// The HTTP side of the simulated controller: one request per connection, answered
// with a web file of the DataFlash (SimWebFiles) or else from SimStatusPage with
// the controller's settings as they are now, and closed.
// Within SimLimits: as many connections as the control port, each closed when
// its request is not whole within httpRequestMs or grows past httpRequestBytes.

#include "sim/SimConfig.h"
#include "sim/SimLimits.h"

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
    SimHttpServer(const SimController& controller, SimTraffic& traffic, const SimLimits& limits,
                  QObject* parent = nullptr);

    bool Listen(const QHostAddress& address, quint16 port, QString* error);
    void Close(); // stops listening and drops open connections
    quint16 Port() const;

private:
    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);
    void Drop(QTcpSocket* socket);
    QByteArray Respond(const SimConfig& config, const QByteArray& method, const QByteArray& path,
                       const QByteArray& body, const QByteArray& acceptEncoding) const;

    const SimController& m_controller;
    SimTraffic& m_traffic;
    SimLimits m_limits;
    QTcpServer* m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

} // namespace quelnet::sim
