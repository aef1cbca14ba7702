#pragma once
// What the simulated controller has seen: request frames in order, HTTP requests,
// connection counts and what the limits turned away. The log keeps the newest
// entries within SimLimits; the counts cover everything since start.
// Thread-safe; written by the server thread, read by tests.

#include "sim/SimConfig.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <deque>
#include <random>

namespace quelnet::sim {

class SimTraffic {
public:
    explicit SimTraffic(const SimLimits& limits = {}) : m_limits(limits) {}

    int AddRequest(const QByteArray& frame); // returns its 1-based number since start
    QList<QByteArray> Requests() const;      // the newest, oldest first
    void ClearRequests();                    // the numbering goes on
    int RequestCount() const;

    void AddHttp(const QByteArray& request);
    QList<QByteArray> HttpRequests() const;

    void ConnectionOpened();
    void ConnectionClosed();
    int Connections() const;
    int OpenConnections() const;

    void ConnectionRefused();
    void IdleClosed();
    void PartialFrameDropped();
    void Held(qint64 bytes);
    void RandomFault(bool drop, bool wrongEcho);
    SimEvents Events() const;

private:
    SimLimits m_limits;
    mutable QMutex m_mutex;
    std::deque<QByteArray> m_requests, m_http;
    qint64 m_requestBytes = 0;
    int m_count = 0, m_connections = 0, m_open = 0;
    SimEvents m_events;
};

// The faults in force; replaced as a whole while the server runs. Draws the
// random faults from a generator seeded by Faults::seed (seeded again by Set).
class SimFaults {
public:
    explicit SimFaults(const Faults& faults = {}) : m_faults(faults), m_random(faults.seed) {}
    void Set(const Faults& faults);
    Faults Get() const;
    bool Draw(int percent); // true with the given chance

private:
    mutable QMutex m_mutex;
    Faults m_faults;
    std::mt19937 m_random;
};

} // namespace quelnet::sim
