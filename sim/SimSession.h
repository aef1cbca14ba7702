#pragma once
// One TCP connection to the simulated controller: cuts the byte stream into
// frames, hands each to the protocol engine, applies the injected faults (dropped
// replies, delays, closing after N requests) and writes the replies in order.

#include "sim/SimController.h"

#include <QByteArray>
#include <QObject>

class QTcpSocket;

namespace quelnet::sim {

class SimFaults;
class SimTraffic;

class SimSession : public QObject {
    Q_OBJECT
public:
    SimSession(QTcpSocket* socket, SimController& controller, SimFaults& faults, SimTraffic& traffic,
               int number, bool verbose, QObject* parent = nullptr);
    ~SimSession() override;

    // Closes the connection after the bytes already written; later requests are ignored.
    void Close();

signals:
    void RestartRequested(); // 0xAB or 0xAD: the controller restarts
    void FlashWritten();

private:
    void ProcessBuffer();
    void Deliver(const Outcome& outcome, int number, bool drop, bool closeAfter);
    void Log(const QString& line) const;

    QTcpSocket* m_socket;
    SimController& m_controller;
    SimFaults& m_faults;
    SimTraffic& m_traffic;
    QByteArray m_buffer;
    int m_number;           // connection number since start, for the log
    int m_onConnection = 0; // requests on this connection
    bool m_verbose;
    bool m_busy = false; // a delayed reply is pending
    bool m_closing = false;
};

// One line on standard error, prefixed with the program name and the time.
void SimLog(const QString& line);

} // namespace quelnet::sim
