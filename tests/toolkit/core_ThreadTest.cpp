// The worker thread: cooperative suspension, hand-over to the main thread and ending it.
#include "toolkit/Thread.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

void PumpUntil(const std::function<bool()>& done) {
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (!done() && Clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// Hands `calls` ticks to the main thread, recording where each ran.
class Worker : public tk::TThread {
public:
    explicit Worker(int calls = 1) : itsCalls(calls) {}
    ~Worker() override {
        Terminate();
        WaitFor();
    }
    std::atomic<int> ran{0};
    std::atomic<bool> onMain{true};
    std::atomic<int> raised{0};
    bool failFirst = false;

protected:
    void Execute() override {
        for (int i = 0; i < itsCalls && !GetTerminated(); ++i) {
            try {
                Synchronize([this] {
                    onMain = onMain &&
                             QThread::currentThread() == QCoreApplication::instance()->thread();
                    if (++ran == 1 && failFirst) {
                        throw std::runtime_error("first call fails");
                    }
                });
            } catch (const std::runtime_error&) {
                ++raised;
            }
        }
    }

private:
    int itsCalls;
};

} // namespace

TEST(Thread, ANewThreadRunsNothingUntilResumed) {
    Worker worker;
    QCoreApplication::processEvents();
    EXPECT_TRUE(worker.GetSuspended());
    EXPECT_EQ(worker.ran, 0);
    worker.Resume();
    PumpUntil([&] { return worker.GetFinished(); });
    EXPECT_EQ(worker.ran, 1);
    EXPECT_TRUE(worker.onMain);
}

TEST(Thread, SynchronizeRaisesTheHandlersExceptionInTheThread) {
    Worker worker(2);
    worker.failFirst = true;
    worker.Resume();
    PumpUntil([&] { return worker.GetFinished(); });
    EXPECT_EQ(worker.raised, 1);
    EXPECT_EQ(worker.ran, 2);
}

TEST(Thread, DestroyingWithAHandOverPendingNeitherWaitsNorRunsIt) {
    auto worker = std::make_unique<Worker>();
    worker->Resume();
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // its call waits in the queue
    EXPECT_FALSE(worker->GetFinished());
    const auto start = Clock::now();
    worker.reset();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
    QCoreApplication::processEvents(); // the queued call finds its hand-over cancelled
}

TEST(Thread, DestroyingASuspendedThreadEndsIt) {
    const auto start = Clock::now();
    { Worker worker; }
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
