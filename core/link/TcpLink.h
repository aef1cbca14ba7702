#pragma once
// TcpLink: the blocking TCP client of the device link. Host, port and the two
// time-outs stay set across disconnections; every call blocks within its
// time-out and reports failure by its result, never by an exception. No event
// loop is involved: the link is a plain blocking socket (IPv4, no delay on
// small writes) whose waits are bounded by the time-outs, so that a page
// transfer costs one write and one read per page and the window's own event
// processing between pages does not see the link at all.
//
// With a wait (SetWait) the link looks at the socket briefly on the calling
// thread and hands a longer wait to it (LinkWait.h); the bytes on the wire
// and the time-outs are the same either way.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

namespace quelnet {

class ILinkWait;

class TcpLink {
public:
    TcpLink() = default;
    ~TcpLink();
    TcpLink(const TcpLink&) = delete;
    TcpLink& operator=(const TcpLink&) = delete;

    void SetTarget(const QString& host, quint16 port);
    const QString& Host() const { return m_host; }
    quint16 Port() const { return m_port; }

    void SetTimeouts(int connectMs, int readMs);
    // Null (the default): every wait blocks the calling thread.
    void SetWait(ILinkWait* wait) { m_wait = wait; }
    ILinkWait* Wait() const { return m_wait; }
    int ConnectTimeout() const { return m_connectMs; }
    int ReadTimeout() const { return m_readMs; }

    // Connects to the target over IPv4 (refused, unreachable, unknown name or
    // time-out all just leave the link closed). True when connected. A host
    // name is resolved first, blocking, as a name lookup does.
    bool Connect();
    // Connected test. Notices a close from the other side that has not been
    // seen yet, so that a dead link is reopened rather than written to.
    bool Connected();
    // The socket is open (no system call; a close from the other side shows
    // on the next read).
    bool IsOpen() const { return m_fd >= 0; }
    // Closes the link; unread input is dropped, what was written still goes.
    void Disconnect();

    // What the other side has done with the link, as the local TCP stack
    // knows it, without reading. A write that succeeded only put the bytes
    // into the local stack: whether the other side took them shows here.
    enum class PeerEnd {
        Open,                  // nothing seen yet
        ClosedAfterTakingAll,  // closed, every byte written acknowledged first
        ClosedBeforeTakingAll, // closed, bytes written are still unacknowledged
        Reset,                 // reset, or no link at all
    };
    PeerEnd PeerState() const;
    // Blocks for at most `ms` until the other side closes or resets the link
    // (or input arrives); returns at once when the link is not open.
    void AwaitPeerEnd(int ms) const;

    // Writes the whole buffer within the read time-out. Bytes that arrived
    // before the request are not an answer to it and are discarded first.
    // False when the link is closed or breaks.
    bool Write(const QByteArray& data);
    // Appends exactly n bytes to out. False when the read time-out expires or
    // the link closes first; out then holds what did arrive.
    bool ReadExact(int n, QByteArray& out);
    // The reply just read was all the request asked for and answered it, and
    // the next request follows at once (a page loop): the next Write() skips
    // its look for stale input. Anything that came after the reply, a close
    // included, shows in the next read instead. Connected() still looks.
    void NextWriteFollowsReply() { m_idleChecked = m_fd >= 0; }

    // For a process that is being interrupted (the command-line tool on
    // Ctrl+C): shuts every open link of the process down at once, from any
    // thread, so that a wait on a reply ends now and the controllers see the
    // links close; no link connects afterwards. Each link's owner still
    // closes its own socket.
    static void AbortAll();
    // True when the connected socket `fd` is connected to itself (a connection
    // to a port of this host where nothing listened).
    static bool IsSelfConnection(int fd);

private:
    void CloseSocket();
    bool OpenSocket(); // a new socket, registered for AbortAll
    // Discards input that is waiting; false when the other side has closed.
    bool DropPendingInput();
    void ApplyTimeouts();
    void SetReceiveTimeout(int ms);
    // With a wait: true once the socket is ready for `events` (or has an
    // error or end to report), false when the deadline passes first.
    bool ReadyWithin(short events, const QDeadlineTimer& deadline);

    int m_fd = -1;
    // Connected() has just found the link open with no input waiting, or a
    // page loop goes straight on after a good reply: the next Write() need
    // not look for stale input again.
    bool m_idleChecked = false;
    QString m_host;
    quint16 m_port = 0;
    int m_connectMs = 1000;
    int m_readMs = 1000;
    ILinkWait* m_wait = nullptr;
};

} // namespace quelnet
