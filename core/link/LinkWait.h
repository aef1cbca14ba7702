#pragma once
// How the device link waits for its controller. Without a wait of its own the
// link blocks the calling thread within its time-outs (the command line and
// every other user without windows). A window gives the link EventLoopWait():
// a wait that is not over at once then runs on a worker thread while the
// window's thread goes on painting and handling timers and the window
// manager's events, but no user input, so that nothing the user does starts a
// second operation on the link meanwhile. (The toolkit counts the window
// manager's request to close a window as user input: it waits too.)

#include <functional>

namespace quelnet {

class ILinkWait {
public:
    virtual ~ILinkWait() = default;
    // Runs `blocking`, which may block for as long as its own time-out, and
    // returns when it has ended. The caller's thread touches nothing that
    // `blocking` uses until then.
    virtual void Run(const std::function<void()>& blocking) = 0;
};

// The wait of a thread with an event loop. One object serves the whole
// program: it keeps no state between waits.
ILinkWait& EventLoopWait();

} // namespace quelnet
