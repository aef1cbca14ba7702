#pragma once
// One controller, polled on a thread of its own over its own blocking link
// (the device link is not re-entrant, and a slow or dead controller must never
// hold up another). The run mode's rules: each circuit is read when its period
// has run out (RunPoller::Due/NextFresh). Unlike the panel, a failed read does
// not stop polling: the controller is reported offline and tried again after
// a pause that doubles up to the configured longest one.
//
// Commands from the broker are queued and carried out between reads; a
// written output is read back at once and its state published.

#include "bridge/BridgeConfig.h"
#include "bridge/MqttLink.h"
#include "bridge/Topics.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quelnet {
class TfmCommon;
}

namespace quelnet::bridge {

class ControllerWorker {
public:
    ControllerWorker(const ControllerConfig& config, const BridgeSettings& settings, IPublisher& out);
    ~ControllerWorker();
    ControllerWorker(const ControllerWorker&) = delete;
    ControllerWorker& operator=(const ControllerWorker&) = delete;

    // Called on the worker's thread when the controller has told who it is.
    std::function<void(const Identity&)> onIdentified;

    void Start();
    // Ends the thread; a request under way finishes within the link time-out.
    void Stop();
    // A payload sent to one of the controller's set topics.
    void Command(const QString& circuit, const QByteArray& payload);

    const ControllerConfig& Config() const { return m_config; }
    // True when the worker has been inside one exchange (or between two)
    // for longer than any exchange may take: it no longer makes progress.
    // Waiting for the next period or for a command is progress.
    bool Stuck() const;

private:
    struct Circuit {
        CircuitConfig config;
        QString stateTopic;
        std::uint64_t fresh = 0; // next read (RunPoller's wL_Fresh)
        bool known = false;
        QByteArray last;
        int sinceSent = 0;
    };
    struct Pending {
        QString circuit;
        QByteArray payload;
    };

    void Run();
    void Identify(TfmCommon& link);
    bool Read(TfmCommon& link, Circuit& c, bool force);
    void Execute(TfmCommon& link, const Pending& cmd);
    void SetOnline(bool online, const QString& why);
    void Wait(std::uint64_t untilMs);
    void Beat(); // before each exchange

    ControllerConfig m_config;
    BridgeSettings m_settings;
    IPublisher& m_out;
    std::vector<Circuit> m_circuits;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Pending> m_queue;
    bool m_stop = false;
    int m_online = -1; // unknown, offline, online
    bool m_identified = false;
    std::atomic<std::uint64_t> m_beat{0};
    std::atomic<bool> m_waiting{false};
};

} // namespace quelnet::bridge
