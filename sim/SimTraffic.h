#pragma once
// What the simulated controller has seen: request frames in order, HTTP requests,
// and connection counts. Thread-safe; written by the server thread, read by tests.

#include "sim/SimConfig.h"

#include <QByteArray>
#include <QList>
#include <QMutex>

namespace quelnet::sim {

class SimTraffic {
public:
    int AddRequest(const QByteArray& frame); // returns its 1-based number since start
    QList<QByteArray> Requests() const;
    void ClearRequests(); // the numbering goes on
    int RequestCount() const;

    void AddHttp(const QByteArray& request);
    QList<QByteArray> HttpRequests() const;

    void ConnectionOpened();
    void ConnectionClosed();
    int Connections() const;
    int OpenConnections() const;

private:
    mutable QMutex m_mutex;
    QList<QByteArray> m_requests, m_http;
    int m_count = 0, m_connections = 0, m_open = 0;
};

// The faults in force; replaced as a whole while the server runs.
class SimFaults {
public:
    explicit SimFaults(const Faults& faults = {}) : m_faults(faults) {}
    void Set(const Faults& faults);
    Faults Get() const;

private:
    mutable QMutex m_mutex;
    Faults m_faults;
};

} // namespace quelnet::sim
