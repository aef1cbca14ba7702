#include "core/link/TcpLink.h"

#include "core/link/LinkWait.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <limits>
#include <optional>

namespace quelnet {

namespace {

// The IPv4 address of a host text written as an address (dotted quad;
// spaces around it are no part of it).
bool IsIPv4Address(const QString& host, in_addr& address) {
    return ::inet_pton(AF_INET, host.trimmed().toLatin1().constData(), &address) == 1;
}

// The IPv4 address of a host name, looked up. An IPv6 address is refused as
// it stands, never looked up as a name.
std::optional<in_addr> LookUp(const QString& host) {
    const QByteArray text = host.trimmed().toUtf8();
    in6_addr v6{};
    if (text.isEmpty() || ::inet_pton(AF_INET6, text.constData(), &v6) == 1)
        return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(text.constData(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    const in_addr address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return address;
}

timeval TimeVal(int ms) {
    return {ms / 1000, (ms % 1000) * 1000};
}

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

// How long the calling thread itself waits for the socket before a wait is
// handed on: a controller on the local network has usually answered by then
// (handing a wait on costs a thread and a trip through the event loop), and
// a window is not seen to stall over it.
constexpr qint64 QuickLookMs = 10;

// One poll of at most `capMs`, bounded by the deadline, resumed after a signal.
int PollOnce(pollfd& p, const QDeadlineTimer& deadline, qint64 capMs) {
    int ready = 0;
    do {
        ready = ::poll(&p, 1, int(qBound<qint64>(0, deadline.remainingTime(), capMs)));
    } while (ready < 0 && errno == EINTR);
    return ready;
}

// poll() until the deadline: all of it on this thread without a wait;
// with one, a quick look here and the rest handed to the wait.
int PollUntil(pollfd& p, const QDeadlineTimer& deadline, ILinkWait* wait) {
    const qint64 all = std::numeric_limits<int>::max();
    if (!wait)
        return PollOnce(p, deadline, all);
    int ready = PollOnce(p, deadline, QuickLookMs);
    if (ready == 0 && !deadline.hasExpired())
        wait->Run([&] { ready = PollOnce(p, deadline, all); });
    return ready;
}

// Non-blocking connect bounded by the time-out; the socket is left blocking.
bool ConnectWithin(int fd, in_addr address, quint16 port, int ms, ILinkWait* wait) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr = address;
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        if (errno != EINPROGRESS)
            return false;
        pollfd p{fd, POLLOUT, 0};
        const int ready = PollUntil(p, QDeadlineTimer(qMax(0, ms)), wait);
        int error = 0;
        socklen_t length = sizeof error;
        if (ready <= 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return false;
    }
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return true;
}

// The open sockets of the process, for AbortAll.
struct OpenLinks {
    QMutex mutex;
    QSet<int> fds;
    bool aborted = false;
};

// Never destroyed: links held by static objects may close after the end of main.
OpenLinks& Links() {
    static OpenLinks* const links = new OpenLinks;
    return *links;
}

} // namespace

void TcpLink::AbortAll() {
    OpenLinks& links = Links();
    QMutexLocker lock(&links.mutex);
    links.aborted = true;
    for (const int fd : std::as_const(links.fds))
        ::shutdown(fd, SHUT_RDWR);
}

bool TcpLink::OpenSocket() {
    OpenLinks& links = Links();
    QMutexLocker lock(&links.mutex);
    if (links.aborted)
        return false;
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return false;
    links.fds.insert(m_fd);
    return true;
}

TcpLink::~TcpLink() {
    CloseSocket();
}

void TcpLink::SetTarget(const QString& host, quint16 port) {
    m_host = host;
    m_port = port;
}

void TcpLink::SetTimeouts(int connectMs, int readMs) {
    // Set before every exchange: the socket keeps the read time-out between
    // reads (ReadExact puts it back), so equal values need no system calls.
    if (connectMs == m_connectMs && readMs == m_readMs)
        return;
    m_connectMs = connectMs;
    m_readMs = readMs;
    if (m_fd >= 0)
        ApplyTimeouts();
}

bool TcpLink::Connect() {
    CloseSocket();
    std::optional<in_addr> address;
    in_addr literal{};
    // A name lookup blocks for as long as the resolver takes.
    if (IsIPv4Address(m_host, literal))
        address = literal;
    else if (m_wait)
        m_wait->Run([&] { address = LookUp(m_host); });
    else
        address = LookUp(m_host);
    if (!address)
        return false;
    if (!OpenSocket())
        return false;
    // A connection to a port of this host where nothing listens can meet
    // itself (the system gave its own end that very port): the link would
    // take its own requests back as echoes, and no controller is there.
    if (!ConnectWithin(m_fd, *address, m_port, m_connectMs, m_wait) || IsSelfConnection(m_fd)) {
        CloseSocket();
        return false;
    }
    // Requests are small and answered one at a time: send each at once.
    const int one = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ApplyTimeouts();
    return true;
}

bool TcpLink::Connected() {
    if (m_fd < 0)
        return false;
    char c;
    const ssize_t r = ::recv(m_fd, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    if (r == 0 || (r < 0 && !WouldBlock() && errno != EINTR)) {
        CloseSocket(); // closed or reset by the other side
        return false;
    }
    m_idleChecked = r < 0 && WouldBlock();
    return true;
}

void TcpLink::Disconnect() {
    CloseSocket();
}

TcpLink::PeerEnd TcpLink::PeerState() const {
    if (m_fd < 0)
        return PeerEnd::Reset;
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(m_fd, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return PeerEnd::Reset;
    switch (info.tcpi_state) {
    case TCP_ESTABLISHED:
        return PeerEnd::Open;
    case TCP_CLOSE_WAIT: { // the other side's FIN arrived
        int unacknowledged = 0;
        if (::ioctl(m_fd, SIOCOUTQ, &unacknowledged) != 0)
            return PeerEnd::Reset;
        return unacknowledged == 0 ? PeerEnd::ClosedAfterTakingAll : PeerEnd::ClosedBeforeTakingAll;
    }
    default: // a reset leaves the socket closed, its send queue purged
        return PeerEnd::Reset;
    }
}

bool TcpLink::IsSelfConnection(int fd) {
    sockaddr_in own{}, peer{};
    socklen_t ownLength = sizeof own, peerLength = sizeof peer;
    return ::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &ownLength) == 0 &&
           ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0 &&
           own.sin_port == peer.sin_port && own.sin_addr.s_addr == peer.sin_addr.s_addr;
}

void TcpLink::AwaitPeerEnd(int ms) const {
    if (m_fd < 0)
        return;
    pollfd p{m_fd, POLLRDHUP, 0};
    PollOnce(p, QDeadlineTimer(qMax(0, ms)), std::numeric_limits<int>::max());
}

void TcpLink::CloseSocket() {
    m_idleChecked = false;
    if (m_fd < 0)
        return;
    // Unread input would turn the close into a reset that can discard what
    // was written last (an update start has no reply): drop it first.
    DropPendingInput();
    OpenLinks& links = Links();
    QMutexLocker lock(&links.mutex); // AbortAll never meets a closed (or reused) descriptor
    ::shutdown(m_fd, SHUT_WR);
    ::close(m_fd);
    links.fds.remove(m_fd);
    m_fd = -1;
}

bool TcpLink::DropPendingInput() {
    char buffer[512];
    for (;;) {
        const ssize_t r = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (r > 0)
            continue;
        if (r < 0 && errno == EINTR)
            continue;
        return r < 0 && WouldBlock();
    }
}

void TcpLink::ApplyTimeouts() {
    const timeval t = TimeVal(qMax(1, m_readMs));
    ::setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &t, sizeof t);
    ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
}

void TcpLink::SetReceiveTimeout(int ms) {
    const timeval t = TimeVal(qMax(1, ms));
    ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
}

bool TcpLink::Write(const QByteArray& data) {
    if (m_fd < 0)
        return false;
    // One look at the socket per exchange: skipped when Connected() has just
    // found nothing waiting.
    const bool idle = m_idleChecked;
    m_idleChecked = false;
    if (!idle && !DropPendingInput()) {
        CloseSocket();
        return false;
    }
    const char* p = data.constData();
    qsizetype left = data.size();
    // Bounded by the send time-out (the read time-out) when the other side
    // does not take the bytes: each send blocks within it, or with a wait,
    // each send takes what fits and the wait runs until more does.
    const int flags = MSG_NOSIGNAL | (m_wait ? MSG_DONTWAIT : 0);
    while (left > 0) {
        const ssize_t w = ::send(m_fd, p, size_t(left), flags);
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && m_wait && WouldBlock() && ReadyWithin(POLLOUT, QDeadlineTimer(qMax(1, m_readMs))))
            continue;
        if (w <= 0)
            return false;
        p += w;
        left -= w;
    }
    return true;
}

bool TcpLink::ReadExact(int n, QByteArray& out) {
    m_idleChecked = false;
    if (m_fd < 0)
        return n <= 0;
    const QDeadlineTimer deadline(qMax(0, m_readMs));
    const qsizetype start = out.size();
    out.resize(start + n);
    int got = 0;
    bool shortened = false; // the receive time-out was cut to what is left
    // Without a wait each read blocks within the receive time-out; with one,
    // each read takes what is there and the wait runs until more is.
    const int flags = m_wait ? MSG_DONTWAIT : 0;
    while (got < n) {
        const ssize_t r = ::recv(m_fd, out.data() + start + got, size_t(n - got), flags);
        if (r > 0) {
            got += int(r);
            if (got < n && !m_wait) {
                const qint64 left = deadline.remainingTime();
                if (left <= 0)
                    break;
                SetReceiveTimeout(int(left));
                shortened = true;
            }
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && m_wait && WouldBlock() && ReadyWithin(POLLIN, deadline))
            continue;
        break; // time-out (EAGAIN), closed (0) or broken
    }
    if (shortened)
        SetReceiveTimeout(m_readMs);
    out.resize(start + got);
    return got == n;
}

bool TcpLink::ReadyWithin(short events, const QDeadlineTimer& deadline) {
    pollfd p{m_fd, events, 0};
    return PollUntil(p, deadline, m_wait) > 0;
}

} // namespace quelnet
