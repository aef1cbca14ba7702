#include "sim/SimHttpServer.h"

#include "sim/SimController.h"
#include "sim/SimSession.h"
#include "sim/SimStatusPage.h"
#include "sim/SimTraffic.h"
#include "sim/SimWebFiles.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace quelnet::sim {

SimHttpServer::SimHttpServer(const SimController& controller, SimTraffic& traffic, const SimLimits& limits,
                             QObject* parent)
    : QObject(parent), m_controller(controller), m_traffic(traffic), m_limits(limits),
      m_server(new QTcpServer(this)) {
    connect(m_server, &QTcpServer::newConnection, this, &SimHttpServer::OnNewConnection);
}

bool SimHttpServer::Listen(const QHostAddress& address, quint16 port, QString* error) {
    if (m_server->listen(address, port))
        return true;
    *error = QString("cannot listen for HTTP on %1:%2: %3")
                 .arg(address.toString())
                 .arg(port)
                 .arg(m_server->errorString());
    return false;
}

void SimHttpServer::Close() {
    m_server->close();
    for (QTcpSocket* s : m_buffers.keys())
        s->abort();
}

quint16 SimHttpServer::Port() const {
    return m_server->serverPort();
}

void SimHttpServer::OnNewConnection() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        if (m_buffers.size() >= m_limits.maxConnections) {
            m_traffic.ConnectionRefused();
            Drop(socket);
            continue;
        }
        socket->setReadBufferSize(m_limits.httpRequestBytes);
        m_buffers.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        QTimer::singleShot(m_limits.httpRequestMs, socket, [this, socket] {
            if (m_buffers.contains(socket)) {
                m_traffic.IdleClosed();
                Drop(socket);
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void SimHttpServer::OnReadyRead(QTcpSocket* socket) {
    if (!m_buffers.contains(socket))
        return;
    QByteArray& buffer = m_buffers[socket];
    buffer.append(socket->readAll());
    const int headEnd = int(buffer.indexOf("\r\n\r\n"));
    if (headEnd < 0) {
        if (buffer.size() > m_limits.httpRequestBytes)
            Drop(socket);
        return;
    }
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    qsizetype contentLength = 0;
    QByteArray acceptEncoding;
    for (const QByteArray& line : lines) {
        const int colon = int(line.indexOf(':'));
        const QByteArray name = colon > 0 ? line.left(colon).trimmed().toLower() : QByteArray();
        if (name == "content-length")
            contentLength = line.mid(colon + 1).trimmed().toLongLong();
        else if (name == "accept-encoding")
            acceptEncoding = line.mid(colon + 1).trimmed();
    }
    if (contentLength < 0 || headEnd + 4 + contentLength > m_limits.httpRequestBytes) {
        Drop(socket);
        return;
    }
    if (buffer.size() < headEnd + 4 + contentLength)
        return;
    const QByteArray request = buffer.left(headEnd + 4 + contentLength);
    const QByteArray body = request.mid(headEnd + 4);
    m_traffic.AddHttp(request);
    const QByteArray method = requestLine.value(0), path = requestLine.value(1);
    const SimConfig config = m_controller.Settings();
    if (config.verbose)
        SimLog(QString("http: %1 %2").arg(QString::fromLatin1(method), QString::fromLatin1(path)));
    m_buffers.remove(socket);
    socket->write(Respond(config, method, path, body, acceptEncoding));
    socket->disconnectFromHost();
}

QByteArray SimHttpServer::Respond(const SimConfig& config, const QByteArray& method, const QByteArray& path,
                                  const QByteArray& body, const QByteArray& acceptEncoding) const {
    const QString version = WebFilesVersion(config.generation);
    if (method == "GET" && !version.isEmpty()) {
        const auto read = [this](quint32 address, int length) { return m_controller.ReadFlash(address, length); };
        if (const auto file = FindWebFile(config.webFileNames.value(version), path, read))
            return HttpReply(config, "200 OK", file->contentType, file->bytes, acceptEncoding);
    }
    return HttpResponse(config, method, path, body, acceptEncoding);
}

void SimHttpServer::Drop(QTcpSocket* socket) {
    m_buffers.remove(socket);
    socket->abort();
    socket->deleteLater();
}

} // namespace quelnet::sim
