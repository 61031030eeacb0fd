// The poll thread: suspension, hand-over to the main thread, and ending without deadlock.
#include "store/IPThread.h"
#include "StoreTestSupport.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;
long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}
} // namespace

TEST(IPThread, TicksOnlyWhileRunAndOnTheMainThread) {
    TIPThread thread;
    int ticks = 0;
    bool onMain = true;
    thread.SetInterval(10);
    thread.SetOnPoll([&](tk::TObject* sender) {
        ++ticks;
        onMain = onMain && QThread::currentThread() == QCoreApplication::instance()->thread();
        EXPECT_EQ(sender, &thread);
    });
    EXPECT_FALSE(thread.GetRun());
    storetest::PumpFor(60);
    EXPECT_EQ(ticks, 0) << "created suspended";
    thread.SetRun(true);
    EXPECT_TRUE(storetest::PumpUntil([&] { return ticks >= 3; }));
    EXPECT_TRUE(onMain);
    thread.SetRun(false);
    storetest::PumpFor(100); // a tick already handed over may still run
    const int stopped = ticks;
    storetest::PumpFor(60);
    EXPECT_EQ(ticks, stopped);
}

TEST(IPThread, HandlerExceptionLosesOnlyItsOwnTick) {
    TIPThread thread;
    int ticks = 0;
    thread.SetInterval(10);
    thread.SetOnPoll([&](tk::TObject*) {
        if (++ticks == 1) {
            throw std::runtime_error("handler failed");
        }
    });
    thread.SetRun(true);
    EXPECT_TRUE(storetest::PumpUntil([&] { return ticks >= 3; }));
}

TEST(IPThread, DestructionWithATickPendingReturnsQuicklyAndDropsIt) {
    int ticks = 0;
    auto thread = std::make_unique<TIPThread>();
    thread->SetInterval(10);
    thread->SetOnPoll([&](tk::TObject*) { ++ticks; });
    thread->SetRun(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // main thread busy: tick waits
    const auto start = Clock::now();
    thread.reset();
    EXPECT_LT(MsSince(start), 100);
    storetest::PumpFor(30);
    EXPECT_EQ(ticks, 0);
}

TEST(IPThread, AHandlerMayDestroyItsOwnThread) {
    auto thread = std::make_unique<TIPThread>();
    bool destroyed = false;
    thread->SetInterval(10);
    thread->SetOnPoll([&](tk::TObject*) {
        const auto start = Clock::now();
        thread.reset();
        EXPECT_LT(MsSince(start), 100);
        destroyed = true;
    });
    thread->SetRun(true);
    EXPECT_TRUE(storetest::PumpUntil([&] { return destroyed; }));
}
