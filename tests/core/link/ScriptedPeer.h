#pragma once
// A stand-in controller for the replies the simulator never gives: it listens
// on 127.0.0.1 (port chosen by the system) on its own thread, cuts the byte
// stream into request frames (long frames by their length field, short frames
// 6 or 262 bytes) or takes one HTTP request per connection, records them and
// answers what the test's handler returns.

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <atomic>
#include <functional>
#include <thread>

namespace quelnet::test {

struct PeerAnswer {
    QByteArray bytes;   // sent as they are (empty: nothing is sent)
    bool close = false; // close the connection after sending
};

class ScriptedPeer {
public:
    enum class Mode { Frames, Http };
    // index: 0-based number of the request since start, over all connections.
    using Handler = std::function<PeerAnswer(const QByteArray& request, int index)>;

    ScriptedPeer(Mode mode, Handler handler);
    ~ScriptedPeer();

    quint16 Port() const { return m_port; }
    QList<QByteArray> Requests() const;
    int Connections() const { return m_connections; }

private:
    void Run();
    static int FrameLength(const QByteArray& buffer);
    static int HttpRequestLength(const QByteArray& buffer);

    Mode m_mode;
    Handler m_handler;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<quint16> m_port{0};
    std::atomic<int> m_connections{0};
    mutable QMutex m_mutex;
    QList<QByteArray> m_requests;
};

} // namespace quelnet::test
