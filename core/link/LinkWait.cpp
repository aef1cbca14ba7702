#include "core/link/LinkWait.h"

#include <QEventLoop>
#include <QObject>
#include <mutex>
#include <thread>

namespace quelnet {

namespace {

class WorkerWithEventLoop : public ILinkWait {
public:
    void Run(const std::function<void()>& blocking) override {
        QEventLoop loop;
        // Receives the worker's call to end the loop; destroyed after the
        // worker has been joined, and with it a call that was never handled.
        QObject waker;
        std::mutex mutex;
        bool done = false;
        bool looping = false;
        std::thread worker([&] {
            blocking();
            bool wake = false;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                done = true;
                wake = looping;
            }
            if (wake)
                QMetaObject::invokeMethod(&waker, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });
        {
            const std::lock_guard<std::mutex> lock(mutex);
            looping = !done;
        }
        // User input waits in the window system's queue until the operation
        // is over. The loop also ends when the program quits; the join below
        // then waits for the rest of the time-out.
        if (looping)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        worker.join();
    }
};

} // namespace

ILinkWait& EventLoopWait() {
    static WorkerWithEventLoop wait;
    return wait;
}

} // namespace quelnet
