#include "tests/core/link/ScriptedPeer.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <future>
#include <memory>

namespace quelnet::test {

ScriptedPeer::ScriptedPeer(Mode mode, Handler handler) : m_mode(mode), m_handler(std::move(handler)) {
    std::promise<void> listening;
    auto ready = listening.get_future();
    m_thread = std::thread([this, listening = std::move(listening)]() mutable {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        listening.set_value();
        while (!m_stop) {
            if (!server.waitForNewConnection(50))
                continue;
            std::unique_ptr<QTcpSocket> socket(server.nextPendingConnection());
            ++m_connections;
            QByteArray buffer;
            bool open = true;
            while (open && !m_stop) {
                if (socket->state() != QAbstractSocket::ConnectedState)
                    break;
                socket->waitForReadyRead(50);
                buffer += socket->readAll();
                for (;;) {
                    const int n = m_mode == Mode::Frames ? FrameLength(buffer) : HttpRequestLength(buffer);
                    if (n <= 0)
                        break;
                    const QByteArray request = buffer.left(n);
                    buffer.remove(0, n);
                    int index;
                    {
                        QMutexLocker lock(&m_mutex);
                        index = int(m_requests.size());
                        m_requests.append(request);
                    }
                    const PeerAnswer answer = m_handler(request, index);
                    if (!answer.bytes.isEmpty()) {
                        socket->write(answer.bytes);
                        socket->waitForBytesWritten(2000);
                    }
                    if (answer.close || m_mode == Mode::Http) {
                        socket->disconnectFromHost();
                        if (socket->state() != QAbstractSocket::UnconnectedState)
                            socket->waitForDisconnected(2000);
                        open = false;
                        break;
                    }
                }
            }
        }
    });
    ready.wait();
}

ScriptedPeer::~ScriptedPeer() {
    m_stop = true;
    m_thread.join();
}

QList<QByteArray> ScriptedPeer::Requests() const {
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

int ScriptedPeer::FrameLength(const QByteArray& b) {
    if (b.size() < 2)
        return 0;
    if (uchar(b[1]) == 0x80) {
        if (b.size() < 16)
            return 0;
        const int n = 16 + (uchar(b[14]) << 8 | uchar(b[15]));
        return b.size() >= n ? n : 0;
    }
    const int n = uchar(b[1]) == 0xA1 ? 262 : 6;
    return b.size() >= n ? n : 0;
}

int ScriptedPeer::HttpRequestLength(const QByteArray& b) {
    const int head = int(b.indexOf("\r\n\r\n"));
    if (head < 0)
        return 0;
    int body = 0;
    for (const QByteArray& line : b.left(head).split('\n')) {
        if (line.trimmed().toLower().startsWith("content-length:"))
            body = line.mid(line.indexOf(':') + 1).trimmed().toInt();
    }
    const int n = head + 4 + body;
    return b.size() >= n ? n : 0;
}

} // namespace quelnet::test
