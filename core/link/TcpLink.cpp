#include "core/link/TcpLink.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace quelnet {

namespace {
int Remaining(const QDeadlineTimer& deadline) {
    return int(qMax<qint64>(0, deadline.remainingTime()));
}
} // namespace

TcpLink::TcpLink() : m_socket(std::make_unique<QTcpSocket>()) {}

TcpLink::~TcpLink() {
    m_socket->abort();
}

void TcpLink::SetTarget(const QString& host, quint16 port) {
    m_host = host;
    m_port = port;
}

void TcpLink::SetTimeouts(int connectMs, int readMs) {
    m_connectMs = connectMs;
    m_readMs = readMs;
}

bool TcpLink::Connect() {
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
    m_socket->connectToHost(m_host, m_port, QIODevice::ReadWrite, QAbstractSocket::IPv4Protocol);
    if (!m_socket->waitForConnected(m_connectMs)) {
        m_socket->abort();
        return false;
    }
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

bool TcpLink::Connected() {
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    // Without an event loop a close by the peer is only seen when the socket
    // is polled; a zero wait does that without blocking.
    if (m_socket->bytesAvailable() == 0)
        m_socket->waitForReadyRead(0);
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void TcpLink::Disconnect() {
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        return;
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState && !m_socket->waitForDisconnected(m_readMs))
        m_socket->abort();
    m_socket->abort(); // also drops unread input
}

bool TcpLink::Write(const QByteArray& data) {
    if (!Connected())
        return false;
    m_socket->readAll();
    if (m_socket->write(data) != data.size())
        return false;
    const QDeadlineTimer deadline(m_readMs);
    while (m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(Remaining(deadline)))
            return false;
    }
    return true;
}

bool TcpLink::ReadExact(int n, QByteArray& out) {
    const QDeadlineTimer deadline(m_readMs);
    while (m_socket->bytesAvailable() < n) {
        if (m_socket->state() != QAbstractSocket::ConnectedState || deadline.hasExpired())
            break;
        m_socket->waitForReadyRead(Remaining(deadline));
    }
    const QByteArray got = m_socket->read(n);
    out.append(got);
    return got.size() == n;
}

} // namespace quelnet
