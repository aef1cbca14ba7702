#pragma once
// One TCP connection to the simulated controller: cuts the byte stream into
// frames, hands each to the protocol engine, applies the injected faults (dropped
// replies, delays, closing after N requests) and writes the replies in order.
//
// Within SimLimits: it holds at most connectionBufferBytes of input and of
// unsent replies (past that it stops reading, so a client that floods or never
// reads is slowed down by TCP instead of growing the simulator), drops a frame
// that stalls half-way after partialFrameMs, and closes the connection after
// idleTimeoutMs without traffic.

#include "sim/SimController.h"
#include "sim/SimLimits.h"

#include <QByteArray>
#include <QObject>

class QTcpSocket;
class QTimer;

namespace quelnet::sim {

class SimFaults;
class SimTraffic;

class SimSession : public QObject {
    Q_OBJECT
public:
    struct Context {
        SimController& controller;
        SimFaults& faults;
        SimTraffic& traffic;
        SimLimits limits;
        bool verbose = false;
    };
    SimSession(QTcpSocket* socket, const Context& context, int number, QObject* parent = nullptr);
    ~SimSession() override;

    // Closes the connection after the bytes already written; later requests are ignored.
    void Close();

signals:
    void RestartRequested(); // 0xAB or 0xAD: the controller restarts
    void FlashWritten();

private:
    void Pump(); // takes input and handles frames while neither direction is full
    bool TakeInput();
    bool HandleNextFrame();
    void Deliver(const Outcome& outcome, int number, bool drop, bool closeAfter);
    bool PartialFrameStalled() const;
    void WatchPartialFrame();
    void DropPartialFrame();
    void CloseIdle();
    void ResetLostLink();
    void Log(const QString& line) const;

    QTcpSocket* m_socket;
    Context m_context;
    QTimer* m_idle;
    QTimer* m_partial;
    QByteArray m_buffer;
    int m_number;            // connection number since start, for the log
    int m_onConnection = 0;  // requests on this connection
    int m_partialSince = -1; // m_onConnection when the partial-frame timer started
    bool m_busy = false;     // a delayed reply is pending
    bool m_closing = false;
    bool m_linkLost = false; // closeBeforeUpdateStart: what arrives now is met with a reset
};

// One line on standard error, prefixed with the program name and the time.
void SimLog(const QString& line);

} // namespace quelnet::sim
