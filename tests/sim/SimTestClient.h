#pragma once
// A plain blocking client for the simulator tests: a QTcpSocket used from the test
// thread while the simulator serves on its own thread.

#include "core/protocol/Frames.h"
#include "sim/SimThread.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QThread>
#include <gtest/gtest.h>

namespace quelnet::sim::test {

constexpr int WaitMs = 10000; // generous: the machine may be loaded

class SimClient {
public:
    bool Connect(quint16 port) {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        return m_socket.waitForConnected(WaitMs);
    }
    void Send(const QByteArray& bytes) {
        m_socket.write(bytes);
        m_socket.waitForBytesWritten(WaitMs);
    }
    // Exactly n bytes, or what arrived before the time-out or the close.
    QByteArray Read(int n) {
        QDeadlineTimer deadline(WaitMs);
        while (m_socket.bytesAvailable() < n && !deadline.hasExpired())
            if (!m_socket.waitForReadyRead(int(deadline.remainingTime())))
                break;
        return m_socket.read(n);
    }
    // A long reply: 16-byte header, then the payload it announces.
    QByteArray ReadLong() {
        QByteArray r = Read(proto::LongHeaderSize);
        if (r.size() == proto::LongHeaderSize)
            r += Read(proto::GetU16(r, 14));
        return r;
    }
    QByteArray Exchange(const QByteArray& request) {
        Send(request);
        return ReadLong();
    }
    QByteArray Exchange(const QByteArray& request, int replySize) {
        Send(request);
        return Read(replySize);
    }
    // True when the peer closed the connection; any bytes that came first are in `before`.
    bool WaitClosed(QByteArray* before = nullptr) {
        QDeadlineTimer deadline(WaitMs);
        while (m_socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired())
            m_socket.waitForReadyRead(int(deadline.remainingTime()));
        if (before)
            *before = m_socket.readAll();
        return m_socket.state() != QAbstractSocket::ConnectedState;
    }
    QTcpSocket& Socket() { return m_socket; }

private:
    QTcpSocket m_socket;
};

inline QByteArray Long(std::uint8_t cmd, std::uint8_t param = 0, const QByteArray& payload = {},
                       const QString& pass = "3958") {
    return proto::BuildLongFrame(cmd, pass, param, payload);
}

// One HTTP request on its own connection; the whole response (head and body).
inline QByteArray HttpExchange(quint16 port, const QByteArray& request) {
    SimClient http;
    if (!http.Connect(port))
        return {};
    http.Send(request);
    QByteArray response;
    http.WaitClosed(&response);
    return response;
}

inline QByteArray Name(const QString& name) {
    return proto::CircuitNameBytes(name);
}

// Waits until `condition` holds, polling; false after WaitMs.
template <typename F> bool WaitUntil(F condition, int ms = WaitMs) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

// A started simulator and a client connected to its control port.
class SimFixture : public ::testing::Test {
protected:
    void StartSim(const SimConfig& config = {}) {
        m_sim = std::make_unique<SimThread>(config);
        ASSERT_TRUE(m_sim->Start()) << m_sim->ErrorText().toStdString();
        if (config.generation != Generation::Old) {
            ASSERT_TRUE(client.Connect(m_sim->TcpPort()));
        }
    }
    SimThread& Sim() { return *m_sim; }

    std::unique_ptr<SimThread> m_sim;
    SimClient client;
};

} // namespace quelnet::sim::test
