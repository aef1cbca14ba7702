#pragma once
// The bridge's one connection to the broker, through libmosquitto (last will,
// TLS, the protocol). The network thread is the bridge's own: it runs the
// library's loop while connected and otherwise tries again after a pause that
// doubles from 1 s to 30 s, whatever made the attempt fail (a broker not up
// yet, a TLS fault): the library's own thread gives up after some of these.
//
// Retained messages are also kept here, by topic, and sent again on every
// connection: a broker that restarted without its store gets discovery,
// availability and states back without waiting for the next change.

#include "bridge/BridgeConfig.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

struct mosquitto;
struct mosquitto_message;

namespace quelnet::bridge {

class IPublisher {
public:
    virtual ~IPublisher() = default;
    virtual void Publish(const QString& topic, const QByteArray& payload, bool retain) = 0;
};

class MqttLink : public IPublisher {
public:
    // The will is published by the broker, retained, when the link dies
    // without a clean goodbye; `online` is sent to the same topic on connecting.
    MqttLink(const BrokerConfig& broker, const QString& willTopic);
    ~MqttLink() override;
    MqttLink(const MqttLink&) = delete;
    MqttLink& operator=(const MqttLink&) = delete;

    // Called on the network thread: after each connection (once the kept
    // retained messages have been handed to the library) and for each message
    // on a subscription.
    std::function<void()> onConnected;
    std::function<void(const QString& topic, const QByteArray& payload)> onMessage;
    void Subscribe(const QString& pattern); // on every connection

    // Starts connecting in the background; false (with `why`) when the
    // settings cannot be used at all (TLS files, ...).
    bool Start(QString* why);
    void Publish(const QString& topic, const QByteArray& payload, bool retain) override;

    // The broker refused the credentials or the client: trying again cannot help.
    bool Refused() const { return m_refused; }
    QString RefusedText() const;
    bool Connected() const { return m_connected; }

    // Sends the given retained messages (and the will's topic "offline"),
    // waits up to `waitMs` for the broker to take them, then disconnects.
    void Stop(const QList<std::pair<QString, QByteArray>>& last, int waitMs);

private:
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnDisconnect(mosquitto*, void* self, int rc);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* msg);
    static void OnPublish(mosquitto*, void* self, int mid);
    static void OnLog(mosquitto*, void* self, int level, const char* text);
    void NetworkLoop();
    void StopNetwork();
    void LogOnce(const QString& line); // the same fault, tried again, is logged once
    void SendLocked(const QString& topic, const QByteArray& payload, bool retain, int* mid);

    BrokerConfig m_broker;
    QString m_will;
    mosquitto* m_mosq = nullptr;
    std::mutex m_mutex; // the kept messages, the subscriptions, the connected flag's changes
    QHash<QString, QByteArray> m_retained;
    QStringList m_order; // topics in the order first kept, so discovery precedes states
    QStringList m_subscriptions;
    std::atomic<bool> m_connected{false};
    std::thread m_network;
    std::mutex m_sleepMutex;
    std::condition_variable m_sleep;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_hadSession{false}; // a connection was accepted since the last pause
    std::atomic<bool> m_refused{false};
    std::atomic<int> m_refusedCode{0};
    bool m_loggedDown = false;
    std::mutex m_logMutex;
    QString m_lastLibraryError; // repeated attempts log a fault once
    std::mutex m_ackMutex;
    std::condition_variable m_acked;
    std::set<int> m_pending;
};

} // namespace quelnet::bridge
