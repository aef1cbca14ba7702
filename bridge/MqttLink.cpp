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
    StopNetwork();
    mosquitto_destroy(m_mosq);
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
    // Publishing threads hand their packets to this thread's loop.
    mosquitto_threaded_set(m_mosq, true);
    m_network = std::thread([this] { NetworkLoop(); });
    return true;
}

void MqttLink::StopNetwork() {
    {
        std::lock_guard lock(m_sleepMutex); // a pause under way sees it
        m_stopping = true;
    }
    m_sleep.notify_all();
    if (m_network.joinable())
        m_network.join();
}

void MqttLink::LogOnce(const QString& line) {
    {
        std::lock_guard lock(m_logMutex);
        if (line == m_lastLibraryError)
            return;
        m_lastLibraryError = line;
    }
    LogWarning(line);
}

void MqttLink::NetworkLoop() {
    const QByteArray host = Utf8(m_broker.host);
    unsigned pauseS = ReconnectFirstS;
    bool first = true;
    while (!m_stopping && !m_refused) {
        const int rc = first ? mosquitto_connect_async(m_mosq, host.constData(), m_broker.port, m_broker.keepaliveS)
                             : mosquitto_reconnect_async(m_mosq);
        first = false;
        if (rc == MOSQ_ERR_SUCCESS) {
            // Until the connection ends; the time-out bounds how long a stop waits.
            while (!m_stopping && mosquitto_loop(m_mosq, 200, 1) == MOSQ_ERR_SUCCESS) {
            }
        } else {
            LogOnce(QStringLiteral("broker %1:%2 not reachable (%3); trying again")
                        .arg(m_broker.host)
                        .arg(m_broker.port)
                        .arg(QString::fromUtf8(mosquitto_strerror(rc))));
        }
        if (m_connected) {
            std::lock_guard lock(m_mutex);
            m_connected = false;
        }
        if (m_hadSession) {
            m_hadSession = false;
            pauseS = ReconnectFirstS;
        }
        if (m_stopping || m_refused)
            break;
        std::unique_lock lock(m_sleepMutex);
        m_sleep.wait_for(lock, std::chrono::seconds(pauseS), [this] { return bool(m_stopping); });
        pauseS = std::min(pauseS * 2, ReconnectMaxS);
    }
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
            self->LogOnce(QStringLiteral("broker unavailable; trying again"));
        }
        return;
    }
    {
        std::lock_guard lock(self->m_mutex);
        LogInfo(QStringLiteral("connected to the broker %1:%2").arg(self->m_broker.host).arg(self->m_broker.port));
        self->m_loggedDown = false;
        self->m_hadSession = true;
        {
            std::lock_guard log(self->m_logMutex);
            self->m_lastLibraryError.clear();
        }
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
        LogWarning(QStringLiteral("no connection to the broker %1:%2 (%3); trying again")
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
    if (level & MOSQ_LOG_ERR)
        static_cast<MqttLink*>(obj)->LogOnce(QStringLiteral("broker connection: ") + QString::fromUtf8(text));
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
    // The network thread sends the goodbye; then the broker keeps the will to itself.
    mosquitto_disconnect(m_mosq);
    for (int i = 0; i < 50 && m_connected; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    StopNetwork();
}

} // namespace quelnet::bridge
