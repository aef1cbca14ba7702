#include "sim/SimTraffic.h"

#include <QMutexLocker>

namespace quelnet::sim {

int SimTraffic::AddRequest(const QByteArray& frame) {
    QMutexLocker lock(&m_mutex);
    m_requests.append(frame);
    return ++m_count;
}

QList<QByteArray> SimTraffic::Requests() const {
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void SimTraffic::ClearRequests() {
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
    m_http.clear();
}

int SimTraffic::RequestCount() const {
    QMutexLocker lock(&m_mutex);
    return m_count;
}

void SimTraffic::AddHttp(const QByteArray& request) {
    QMutexLocker lock(&m_mutex);
    m_http.append(request);
}

QList<QByteArray> SimTraffic::HttpRequests() const {
    QMutexLocker lock(&m_mutex);
    return m_http;
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

void SimFaults::Set(const Faults& faults) {
    QMutexLocker lock(&m_mutex);
    m_faults = faults;
}

Faults SimFaults::Get() const {
    QMutexLocker lock(&m_mutex);
    return m_faults;
}

} // namespace quelnet::sim
