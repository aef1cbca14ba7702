#include "sim/SimThread.h"

#include "sim/SimController.h"
#include "sim/SimServer.h"
#include "sim/SimTraffic.h"

#include <QThread>

namespace quelnet::sim {

struct SimThread::Impl {
    explicit Impl(const SimConfig& c) : config(c), controller(c), faults(c.faults), traffic(c.limits) {}
    SimConfig config;
    SimController controller;
    SimFaults faults;
    SimTraffic traffic;
    QThread thread;
    SimServer* server = nullptr;
    QString error;
    quint16 tcpPort = 0, httpPort = 0;
};

SimThread::SimThread(const SimConfig& config) : m(std::make_unique<Impl>(config)) {
    m->thread.setObjectName("quelnet-sim");
}

SimThread::~SimThread() {
    if (m->server) {
        SimServer* server = m->server;
        QMetaObject::invokeMethod(
            server, [server] { delete server; }, Qt::BlockingQueuedConnection);
        m->server = nullptr;
    }
    m->thread.quit();
    m->thread.wait();
}

bool SimThread::Start() {
    if (m->server)
        return true;
    if (!m->config.flashFile.isEmpty()) {
        QString warning;
        if (!m->controller.LoadFlash(m->config.flashFile, &m->error, &warning))
            return false;
    }
    m->thread.start();
    m->server = new SimServer(m->config, m->controller, m->faults, m->traffic);
    m->server->moveToThread(&m->thread);
    bool ok = false;
    SimServer* server = m->server;
    QString error;
    QMetaObject::invokeMethod(
        server, [server, &ok, &error] { ok = server->Listen(&error); }, Qt::BlockingQueuedConnection);
    m->error = error;
    if (!ok) {
        QMetaObject::invokeMethod(
            server, [server] { delete server; }, Qt::BlockingQueuedConnection);
        m->server = nullptr;
        m->thread.quit();
        m->thread.wait();
        return false;
    }
    m->tcpPort = server->TcpPort();
    m->httpPort = server->HttpPort();
    return true;
}

QString SimThread::ErrorText() const {
    return m->error;
}
quint16 SimThread::TcpPort() const {
    return m->tcpPort;
}
quint16 SimThread::HttpPort() const {
    return m->httpPort;
}
QList<QByteArray> SimThread::Requests() const {
    return m->traffic.Requests();
}
void SimThread::ClearRequests() {
    m->traffic.ClearRequests();
}
int SimThread::RequestCount() const {
    return m->traffic.RequestCount();
}
QList<QByteArray> SimThread::HttpRequests() const {
    return m->traffic.HttpRequests();
}
void SimThread::SetFaults(const Faults& faults) {
    m->faults.Set(faults);
}
bool SimThread::Digital(const QString& name) const {
    return m->controller.Digital(name);
}
void SimThread::SetDigital(const QString& name, bool on) {
    m->controller.SetDigital(name, on);
}
float SimThread::Analog(const QString& name) const {
    return m->controller.Analog(name);
}
void SimThread::SetAnalog(const QString& name, float value) {
    m->controller.SetAnalog(name, value);
}
QByteArray SimThread::Flash() const {
    return m->controller.Flash();
}
void SimThread::SetFlash(const QByteArray& image) {
    m->controller.SetFlash(image);
}
SimEvents SimThread::Events() const {
    return m->traffic.Events();
}

int SimThread::Connections() const {
    return m->traffic.Connections();
}
int SimThread::OpenConnections() const {
    return m->traffic.OpenConnections();
}
bool SimThread::Listening() const {
    return m->server && m->server->Listening();
}
int SimThread::Restarts() const {
    return m->server ? m->server->Restarts() : 0;
}
SimConfig SimThread::Settings() const {
    return m->controller.Settings();
}

} // namespace quelnet::sim
