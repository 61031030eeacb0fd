// Worker thread with a synchronous hand-over to the application's main (user-interface) thread.
#pragma once

#include "toolkit/Classes.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tk {

// A thread object whose body is Execute. It is created suspended, so Execute never starts
// before the derived object is complete: the first Resume starts it. Suspension is cooperative:
// Execute waits in WaitWhileSuspended while suspended.
// The destructor terminates the thread, cancels a pending Synchronize and joins it; it never
// waits for the main thread, so destroying the object from the main thread cannot deadlock.
class TThread : public TObject {
public:
    // Raises std::system_error ("cannot start a thread: ...") when the system refuses one.
    TThread();
    ~TThread() override;

    void Resume();
    void Suspend();
    bool GetSuspended() const;

    // Asks the thread to end and wakes it from any wait of this class.
    void Terminate();
    bool GetTerminated() const;
    bool GetFinished() const;

    // Blocks until Execute has returned. Must not be called from the thread itself.
    void WaitFor();

protected:
    // Subclasses must call Terminate() and WaitFor() in their own destructor before their
    // members go, since Execute may still be using them.
    virtual void Execute() = 0;

    // Runs `method` on the main thread (the QCoreApplication's) and waits until it has returned.
    // Runs it directly when called on the main thread. Returns without running it when there is
    // no application object or when the thread is terminated while waiting. An exception that
    // `method` raises is raised again here, in the calling thread; one that leaves Execute ends
    // the thread quietly.
    void Synchronize(const std::function<void()>& method);

    // Sleeps up to `milliseconds`; returns early when terminated. Returns false when terminated.
    bool SleepFor(std::uint32_t milliseconds);

    // Waits while suspended and not terminated. Returns false when terminated.
    bool WaitWhileSuspended();

private:
    struct HandOver;
    void ThreadMain();

    mutable std::mutex itsLock;
    std::condition_variable itsWake;
    bool itsSuspended = true;
    bool itsTerminated = false;
    bool itsFinished = false;
    std::shared_ptr<HandOver> itsPending; // hand-over waiting for the main thread
    std::thread itsThread;
};

} // namespace tk
