#pragma once
// Whether a controller took the update start. The start frame (short 0xAD) has
// no reply, and a write that succeeded only means that the bytes reached the
// local TCP stack: a controller that lost the link just before would never
// see them, keep its old program and not restart. A controller that took the
// start restarts, and that shows in one of two ways:
//  - it closes the link after its TCP stack acknowledged the start frame;
//  - it stops taking connections (refused, or no answer) for a while.
// A link closed before the start frame was acknowledged, or reset in answer to
// it, proves nothing by itself; the controller is then tried with connection
// attempts (no frame is sent on them). Neither sign within the wait: the
// controller did not restart.

namespace quelnet {

class TcpLink;
class IEventPump;

// Watches the link that carried the update start, and the controller's
// address and port, for at most waitMs; the pump (may be null) is called
// meanwhile so that the window repaints. True as soon as a restart shows.
bool ControllerTookUpdateStart(TcpLink& link, int waitMs, IEventPump* pump);

} // namespace quelnet
