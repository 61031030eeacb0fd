#include "toolkit/Thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <exception>
#include <system_error>

namespace tk {

// One hand-over to the main thread. Shared with the queued call, which may run after the
// thread object is gone: it then finds the hand-over cancelled and does nothing.
struct TThread::HandOver {
    std::mutex lock;
    std::condition_variable wake;
    std::function<void()> method;
    bool started = false;
    bool finished = false; // the method has returned, or will never run
    std::exception_ptr error;
};

TThread::TThread() {
    try {
        itsThread = std::thread([this] { ThreadMain(); });
    } catch (const std::system_error& e) {
        throw std::system_error(e.code(), "cannot start a thread");
    }
}

TThread::~TThread() {
    Terminate();
    WaitFor();
}

void TThread::ThreadMain() {
    try {
        if (WaitWhileSuspended()) {
            Execute();
        }
    } catch (...) {
        // An exception that ends Execute ends the thread; it is not carried further.
    }
    std::lock_guard<std::mutex> guard(itsLock);
    itsFinished = true;
    itsWake.notify_all();
}

void TThread::Resume() {
    std::lock_guard<std::mutex> guard(itsLock);
    itsSuspended = false;
    itsWake.notify_all();
}

void TThread::Suspend() {
    std::lock_guard<std::mutex> guard(itsLock);
    itsSuspended = true;
}

bool TThread::GetSuspended() const {
    std::lock_guard<std::mutex> guard(itsLock);
    return itsSuspended;
}

void TThread::Terminate() {
    std::lock_guard<std::mutex> guard(itsLock);
    itsTerminated = true;
    itsWake.notify_all();
    // Release a thread waiting for a hand-over: one not started yet will never run, and one
    // running is being run by the caller itself (the main thread), which is about to wait for
    // this thread to end.
    if (itsPending != nullptr) {
        std::lock_guard<std::mutex> handOverGuard(itsPending->lock);
        if (!itsPending->started) {
            itsPending->method = nullptr;
        }
        itsPending->finished = true;
        itsPending->wake.notify_all();
    }
}

bool TThread::GetTerminated() const {
    std::lock_guard<std::mutex> guard(itsLock);
    return itsTerminated;
}

bool TThread::GetFinished() const {
    std::lock_guard<std::mutex> guard(itsLock);
    return itsFinished;
}

void TThread::WaitFor() {
    if (itsThread.joinable() && itsThread.get_id() != std::this_thread::get_id()) {
        itsThread.join();
    }
}

bool TThread::SleepFor(std::uint32_t milliseconds) {
    std::unique_lock<std::mutex> guard(itsLock);
    itsWake.wait_for(guard, std::chrono::milliseconds(milliseconds),
                     [this] { return itsTerminated; });
    return !itsTerminated;
}

bool TThread::WaitWhileSuspended() {
    std::unique_lock<std::mutex> guard(itsLock);
    itsWake.wait(guard, [this] { return itsTerminated || !itsSuspended; });
    return !itsTerminated;
}

void TThread::Synchronize(const std::function<void()>& method) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return;
    }
    if (QThread::currentThread() == app->thread()) {
        method();
        return;
    }
    auto handOver = std::make_shared<HandOver>();
    handOver->method = method;
    {
        std::lock_guard<std::mutex> guard(itsLock);
        if (itsTerminated) {
            return;
        }
        itsPending = handOver;
    }
    // The queued call holds only the hand-over, never the thread object.
    QMetaObject::invokeMethod(
        app,
        [handOver] {
            std::function<void()> run;
            {
                std::lock_guard<std::mutex> guard(handOver->lock);
                if (handOver->finished) {
                    return;
                }
                handOver->started = true;
                run = handOver->method;
            }
            std::exception_ptr error;
            try {
                run();
            } catch (...) {
                error = std::current_exception(); // raised again in the waiting thread
            }
            std::lock_guard<std::mutex> guard(handOver->lock);
            handOver->error = error;
            handOver->finished = true;
            handOver->wake.notify_all();
        },
        Qt::QueuedConnection);
    std::exception_ptr error;
    {
        std::unique_lock<std::mutex> guard(handOver->lock);
        handOver->wake.wait(guard, [&handOver] { return handOver->finished; });
        error = handOver->error;
    }
    {
        std::lock_guard<std::mutex> guard(itsLock);
        itsPending.reset();
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

} // namespace tk
