#include "core/link/UpdateStartWatch.h"

#include "core/link/LinkInterfaces.h"
#include "core/link/TcpLink.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>

namespace quelnet {

namespace {

constexpr int SliceMs = 5;
// A link that stays open this long without a sign (at most half the wait):
// the controller may have gone down without a word (a hard restart);
// connection attempts tell.
constexpr int QuietLinkMs = 1000;
constexpr int AttemptEveryMs = 100;
// A controller that is up answers a connection attempt on its own network
// within this time.
constexpr int AttemptConnectMs = 250;

// A connection attempt to the controller, closed at once without a frame.
bool TakesConnections(const TcpLink& link) {
    TcpLink attempt;
    attempt.SetTarget(link.Host(), link.Port());
    attempt.SetTimeouts(AttemptConnectMs, AttemptConnectMs);
    const bool taken = attempt.Connect();
    attempt.Disconnect();
    return taken;
}

} // namespace

bool ControllerTookUpdateStart(TcpLink& link, int waitMs, IEventPump* pump) {
    const QDeadlineTimer deadline(qMax(0, waitMs));
    QElapsedTimer clock;
    clock.start();
    // Within a short wait the attempts start earlier, so that they are made at all.
    qint64 nextAttempt = qMin(QuietLinkMs, qMax(0, waitMs) / 2);
    bool linkGone = false;
    for (;;) {
        if (!linkGone) {
            switch (link.PeerState()) {
            case TcpLink::PeerEnd::ClosedAfterTakingAll:
                return true;
            case TcpLink::PeerEnd::Reset:
                linkGone = true;
                nextAttempt = clock.elapsed();
                break;
            case TcpLink::PeerEnd::Open:
            case TcpLink::PeerEnd::ClosedBeforeTakingAll: // a reset or an acknowledgement follows
                break;
            }
        }
        if (clock.elapsed() >= nextAttempt) {
            if (!TakesConnections(link))
                return true;
            nextAttempt = clock.elapsed() + AttemptEveryMs;
        }
        if (deadline.hasExpired())
            return false;
        if (pump)
            pump->ProcessEvents();
        const int slice = int(qBound<qint64>(1, deadline.remainingTime(), qint64(SliceMs)));
        // While the link is open its close wakes the watch at once; a link
        // already closed or gone is looked at again after the slice.
        if (!linkGone && link.PeerState() == TcpLink::PeerEnd::Open)
            link.AwaitPeerEnd(slice);
        else
            QThread::msleep(ulong(slice));
    }
}

} // namespace quelnet
