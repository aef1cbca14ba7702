#pragma once
// A subscriber on the test's broker (libmosquitto, its own network thread):
// keeps every message it sees and lets a test wait for one.

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mosquitto.h>
#include <mutex>

namespace quelnet::test {

struct MqttMessage {
    QString topic;
    QByteArray payload;
    bool retained = false;
    qint64 atMs = 0; // on the probe's clock
};

class MqttProbe {
public:
    explicit MqttProbe(quint16 port, const QString& pattern = QStringLiteral("#")) : m_pattern(pattern) {
        mosquitto_lib_init();
        m_clock.start();
        m_mosq = mosquitto_new(nullptr, true, this);
        mosquitto_connect_callback_set(m_mosq, [](mosquitto* m, void* self, int rc) {
            if (rc == 0)
                mosquitto_subscribe(m, nullptr, static_cast<MqttProbe*>(self)->m_pattern.toUtf8().constData(), 1);
        });
        mosquitto_message_callback_set(m_mosq, [](mosquitto*, void* obj, const mosquitto_message* msg) {
            auto* self = static_cast<MqttProbe*>(obj);
            std::lock_guard lock(self->m_mutex);
            self->m_messages.append({QString::fromUtf8(msg->topic),
                                     QByteArray(static_cast<const char*>(msg->payload), msg->payloadlen),
                                     msg->retain, self->m_clock.elapsed()});
            self->m_changed.notify_all();
        });
        mosquitto_connect(m_mosq, "127.0.0.1", port, 30);
        mosquitto_loop_start(m_mosq);
    }
    ~MqttProbe() {
        mosquitto_disconnect(m_mosq);
        mosquitto_loop_stop(m_mosq, true);
        mosquitto_destroy(m_mosq);
        mosquitto_lib_cleanup();
    }
    MqttProbe(const MqttProbe&) = delete;
    MqttProbe& operator=(const MqttProbe&) = delete;

    void Publish(const QString& topic, const QByteArray& payload) {
        mosquitto_publish(m_mosq, nullptr, topic.toUtf8().constData(), int(payload.size()), payload.constData(), 1,
                          false);
    }

    // Waits for a message on the topic, seen from `since` on (an index into
    // Messages()), whose payload satisfies `accept`; true when one came.
    bool WaitFor(const QString& topic, const std::function<bool(const QByteArray&)>& accept, int timeoutMs,
                 qsizetype since = 0, MqttMessage* found = nullptr) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            for (qsizetype i = since; i < m_messages.size(); ++i)
                if (m_messages[i].topic == topic && accept(m_messages[i].payload)) {
                    if (found)
                        *found = m_messages[i];
                    return true;
                }
            return false;
        });
    }
    bool WaitFor(const QString& topic, const QByteArray& payload, int timeoutMs, qsizetype since = 0) {
        return WaitFor(topic, [&](const QByteArray& p) { return p == payload; }, timeoutMs, since);
    }

    QList<MqttMessage> Messages() const {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    qsizetype Count() const {
        std::lock_guard lock(m_mutex);
        return m_messages.size();
    }
    // The last payload on the topic (empty when none came).
    QByteArray Last(const QString& topic) const {
        std::lock_guard lock(m_mutex);
        for (qsizetype i = m_messages.size() - 1; i >= 0; --i)
            if (m_messages[i].topic == topic)
                return m_messages[i].payload;
        return {};
    }
    qint64 NowMs() const { return m_clock.elapsed(); }

private:
    QString m_pattern;
    mosquitto* m_mosq = nullptr;
    QElapsedTimer m_clock;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QList<MqttMessage> m_messages;
};

} // namespace quelnet::test
