#include "bridge/MqttLink.h"

#include "bridge/Log.h"

#include <mosquitto.h>

#include <chrono>

namespace quelnet::bridge {

namespace {

constexpr int Qos = 1;
// Pause between connection attempts: 1 s, doubling up to 30 s.
constexpr unsigned ReconnectFirstS = 1, ReconnectMaxS = 30;

struct LibraryInit {
    LibraryInit() { mosquitto_lib_init(); }
    ~LibraryInit() { mosquitto_lib_cleanup(); }
};

QByteArray Utf8(const QString& s) {
    return s.toUtf8();
}

} // namespace

MqttLink::MqttLink(const BrokerConfig& broker, const QString& willTopic) : m_broker(broker), m_will(willTopic) {
    static LibraryInit init;
    m_mosq = mosquitto_new(Utf8(broker.clientId).constData(), true, this);
    mosquitto_connect_callback_set(m_mosq, &MqttLink::OnConnect);
    mosquitto_disconnect_callback_set(m_mosq, &MqttLink::OnDisconnect);
    mosquitto_message_callback_set(m_mosq, &MqttLink::OnMessage);
    mosquitto_publish_callback_set(m_mosq, &MqttLink::OnPublish);
    mosquitto_log_callback_set(m_mosq, &MqttLink::OnLog);
}

MqttLink::~MqttLink() {
    if (m_mosq) {
        mosquitto_disconnect(m_mosq);
        mosquitto_loop_stop(m_mosq, true);
        mosquitto_destroy(m_mosq);
    }
}

void MqttLink::Subscribe(const QString& pattern) {
    std::lock_guard lock(m_mutex);
    m_subscriptions << pattern;
    if (m_connected)
        mosquitto_subscribe(m_mosq, nullptr, Utf8(pattern).constData(), Qos);
}

bool MqttLink::Start(QString* why) {
    const QByteArray will = Utf8(m_will);
    mosquitto_will_set(m_mosq, will.constData(), 7, "offline", Qos, true);
    if (!m_broker.user.isEmpty() || !m_broker.password.isEmpty()) {
        const QByteArray user = Utf8(m_broker.user), pass = Utf8(m_broker.password);
        mosquitto_username_pw_set(m_mosq, user.isEmpty() ? nullptr : user.constData(),
                                  m_broker.password.isEmpty() ? nullptr : pass.constData());
    }
    if (!m_broker.caFile.isEmpty()) {
        const QByteArray ca = Utf8(m_broker.caFile), cert = Utf8(m_broker.certFile), key = Utf8(m_broker.keyFile);
        const int rc = mosquitto_tls_set(m_mosq, ca.constData(), nullptr, cert.isEmpty() ? nullptr : cert.constData(),
                                         key.isEmpty() ? nullptr : key.constData(), nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            *why = QStringLiteral("TLS settings refused: ") + QString::fromUtf8(mosquitto_strerror(rc));
            return false;
        }
    }
    mosquitto_reconnect_delay_set(m_mosq, ReconnectFirstS, ReconnectMaxS, true);
    const QByteArray host = Utf8(m_broker.host);
    const int rc = mosquitto_connect_async(m_mosq, host.constData(), m_broker.port, m_broker.keepaliveS);
    if (rc == MOSQ_ERR_INVAL || rc == MOSQ_ERR_NOMEM) {
        *why = QStringLiteral("cannot connect to %1:%2: %3")
                   .arg(m_broker.host)
                   .arg(m_broker.port)
                   .arg(QString::fromUtf8(mosquitto_strerror(rc)));
        return false;
    }
    // Anything else (no broker yet, a TLS fault, ...) is tried again as a lost
    // connection is; the library's own error line has said why.
    if (rc != MOSQ_ERR_SUCCESS)
        LogWarning(QStringLiteral("broker %1:%2 not reachable yet (%3); trying again")
                       .arg(m_broker.host)
                       .arg(m_broker.port)
                       .arg(QString::fromUtf8(mosquitto_strerror(rc))));
    // The network thread retries a failed first connection like a lost one.
    const int loop = mosquitto_loop_start(m_mosq);
    if (loop != MOSQ_ERR_SUCCESS) {
        *why = QStringLiteral("cannot start the network thread: ") + QString::fromUtf8(mosquitto_strerror(loop));
        return false;
    }
    return true;
}

void MqttLink::SendLocked(const QString& topic, const QByteArray& payload, bool retain, int* mid) {
    const QByteArray t = Utf8(topic);
    mosquitto_publish(m_mosq, mid, t.constData(), int(payload.size()), payload.constData(), Qos, retain);
}

void MqttLink::Publish(const QString& topic, const QByteArray& payload, bool retain) {
    std::lock_guard lock(m_mutex);
    if (retain) {
        if (!m_retained.contains(topic))
            m_order << topic;
        m_retained.insert(topic, payload);
    }
    if (m_connected)
        SendLocked(topic, payload, retain, nullptr);
}

QString MqttLink::RefusedText() const {
    return QStringLiteral("the broker %1:%2 refused the connection: %3")
        .arg(m_broker.host)
        .arg(m_broker.port)
        .arg(QString::fromUtf8(mosquitto_connack_string(m_refusedCode)));
}

void MqttLink::OnConnect(mosquitto* mosq, void* obj, int rc) {
    auto* self = static_cast<MqttLink*>(obj);
    if (rc != 0) {
        // 3 (server unavailable) passes; the others will not change by trying.
        if (rc != 3) {
            self->m_refusedCode = rc;
            self->m_refused = true;
            mosquitto_disconnect(mosq);
        } else {
            LogWarning(QStringLiteral("broker unavailable; trying again"));
        }
        return;
    }
    {
        std::lock_guard lock(self->m_mutex);
        LogInfo(QStringLiteral("connected to the broker %1:%2").arg(self->m_broker.host).arg(self->m_broker.port));
        self->m_loggedDown = false;
        for (const QString& s : self->m_subscriptions)
            mosquitto_subscribe(mosq, nullptr, Utf8(s).constData(), Qos);
        self->SendLocked(self->m_will, "online", true, nullptr);
        for (const QString& topic : self->m_order)
            self->SendLocked(topic, self->m_retained.value(topic), true, nullptr);
        self->m_connected = true;
    }
    if (self->onConnected)
        self->onConnected();
}

void MqttLink::OnDisconnect(mosquitto*, void* obj, int rc) {
    auto* self = static_cast<MqttLink*>(obj);
    std::lock_guard lock(self->m_mutex);
    self->m_connected = false;
    if (rc != 0 && !self->m_loggedDown && !self->m_refused) {
        LogWarning(QStringLiteral("lost the broker %1:%2 (%3); reconnecting")
                       .arg(self->m_broker.host)
                       .arg(self->m_broker.port)
                       .arg(QString::fromUtf8(mosquitto_strerror(rc))));
        self->m_loggedDown = true;
    }
}

void MqttLink::OnMessage(mosquitto*, void* obj, const mosquitto_message* msg) {
    auto* self = static_cast<MqttLink*>(obj);
    if (self->onMessage)
        self->onMessage(QString::fromUtf8(msg->topic),
                        QByteArray(static_cast<const char*>(msg->payload), msg->payloadlen));
}

void MqttLink::OnLog(mosquitto*, void* obj, int level, const char* text) {
    // The library's own errors say why a connection fails (a certificate
    // that does not verify, ...); the rest is its chatter.
    if (!(level & MOSQ_LOG_ERR))
        return;
    auto* self = static_cast<MqttLink*>(obj);
    const QString line = QString::fromUtf8(text);
    {
        std::lock_guard lock(self->m_ackMutex);
        if (line == self->m_lastLibraryError)
            return;
        self->m_lastLibraryError = line;
    }
    LogWarning(QStringLiteral("broker connection: ") + line);
}

void MqttLink::OnPublish(mosquitto*, void* obj, int mid) {
    auto* self = static_cast<MqttLink*>(obj);
    std::lock_guard lock(self->m_ackMutex);
    self->m_pending.erase(mid);
    self->m_acked.notify_all();
}

void MqttLink::Stop(const QList<std::pair<QString, QByteArray>>& last, int waitMs) {
    {
        std::lock_guard lock(m_mutex);
        if (m_connected) {
            std::lock_guard ack(m_ackMutex);
            auto send = [&](const QString& topic, const QByteArray& payload) {
                int mid = 0;
                SendLocked(topic, payload, true, &mid);
                m_pending.insert(mid);
            };
            for (const auto& [topic, payload] : last)
                send(topic, payload);
            send(m_will, "offline");
        }
    }
    {
        std::unique_lock ack(m_ackMutex);
        m_acked.wait_for(ack, std::chrono::milliseconds(waitMs), [this] { return m_pending.empty(); });
    }
    // Without a connection the network thread may sit in a connection
    // attempt that a disconnect does not end (seen with TLS): it is cancelled.
    const bool connected = m_connected;
    mosquitto_disconnect(m_mosq);
    mosquitto_loop_stop(m_mosq, !connected);
}

} // namespace quelnet::bridge
