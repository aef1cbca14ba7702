#include "sim/SimTraffic.h"

#include <QMutexLocker>

namespace quelnet::sim {

int SimTraffic::AddRequest(const QByteArray& frame) {
    QMutexLocker lock(&m_mutex);
    m_requests.push_back(frame);
    m_requestBytes += frame.size();
    while (!m_requests.empty() &&
           (int(m_requests.size()) > m_limits.logRequests || m_requestBytes > m_limits.logRequestBytes)) {
        m_requestBytes -= m_requests.front().size();
        m_requests.pop_front();
    }
    return ++m_count;
}

QList<QByteArray> SimTraffic::Requests() const {
    QMutexLocker lock(&m_mutex);
    return QList<QByteArray>(m_requests.begin(), m_requests.end());
}

void SimTraffic::ClearRequests() {
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
    m_requestBytes = 0;
    m_http.clear();
}

int SimTraffic::RequestCount() const {
    QMutexLocker lock(&m_mutex);
    return m_count;
}

void SimTraffic::AddHttp(const QByteArray& request) {
    QMutexLocker lock(&m_mutex);
    m_http.push_back(request);
    while (int(m_http.size()) > m_limits.logHttpRequests)
        m_http.pop_front();
}

QList<QByteArray> SimTraffic::HttpRequests() const {
    QMutexLocker lock(&m_mutex);
    return QList<QByteArray>(m_http.begin(), m_http.end());
}

void SimTraffic::ConnectionOpened() {
    QMutexLocker lock(&m_mutex);
    ++m_connections;
    ++m_open;
}

void SimTraffic::ConnectionClosed() {
    QMutexLocker lock(&m_mutex);
    --m_open;
}

int SimTraffic::Connections() const {
    QMutexLocker lock(&m_mutex);
    return m_connections;
}

int SimTraffic::OpenConnections() const {
    QMutexLocker lock(&m_mutex);
    return m_open;
}

void SimTraffic::ConnectionRefused() {
    QMutexLocker lock(&m_mutex);
    ++m_events.connectionsRefused;
}

void SimTraffic::IdleClosed() {
    QMutexLocker lock(&m_mutex);
    ++m_events.idleClosed;
}

void SimTraffic::PartialFrameDropped() {
    QMutexLocker lock(&m_mutex);
    ++m_events.partialFramesDropped;
}

void SimTraffic::Held(qint64 bytes) {
    QMutexLocker lock(&m_mutex);
    m_events.mostHeld = qMax(m_events.mostHeld, bytes);
}

void SimTraffic::RandomFault(bool drop, bool wrongEcho) {
    QMutexLocker lock(&m_mutex);
    m_events.randomDrops += drop;
    m_events.randomWrongEchoes += wrongEcho;
}

SimEvents SimTraffic::Events() const {
    QMutexLocker lock(&m_mutex);
    return m_events;
}

void SimFaults::Set(const Faults& faults) {
    QMutexLocker lock(&m_mutex);
    m_faults = faults;
    m_random.seed(faults.seed);
}

Faults SimFaults::Get() const {
    QMutexLocker lock(&m_mutex);
    return m_faults;
}

bool SimFaults::Draw(int percent) {
    if (percent <= 0)
        return false;
    QMutexLocker lock(&m_mutex);
    return int(m_random() % 100) < percent;
}

} // namespace quelnet::sim
