// The process presence table: Ids, a full table, heartbeats and expiry.
#include "store/IPMonitor.h"
#include "StoreTestSupport.h"
#include "platform/Kernel.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

struct Table {
    Table() : view("Mon_MON_MEMORY", sizeof(MonitorTable)) {}
    MonitorTable* operator->() const { return view.As<MonitorTable>(); }
    storetest::BlockView view;
};

std::unique_ptr<TIPMonitor> Participant(int type = 0, bool active = true) {
    auto monitor = std::make_unique<TIPMonitor>(nullptr);
    monitor->SetBaseName("Mon");
    monitor->SetType(type);
    monitor->SetActive(active);
    return monitor;
}

} // namespace

TEST(IPMonitor, IdsStartAt0x8001AndWrapTo0x8000) {
    auto first = Participant();
    ASSERT_TRUE(first->GetActive());
    Table table;
    EXPECT_EQ(first->GetOwnId(), 0x8001);
    EXPECT_EQ(table->LastId, 0x8001);
    EXPECT_EQ(table->Slots[0].Id, 0x8001);
    table->LastId = 0xFFFF;
    auto second = Participant();
    EXPECT_EQ(second->GetOwnId(), 0x8000);
    EXPECT_EQ(second->GetCount(), 2);
    first.reset();
    EXPECT_EQ(table->Slots[0].Id, 0) << "unregistered on close";
}

TEST(IPMonitor, AnEleventhParticipantWaitsForAFreeSlot) {
    std::vector<std::unique_ptr<TIPMonitor>> ten;
    for (int i = 0; i < 10; ++i) {
        ten.push_back(Participant(i % 2));
    }
    auto eleventh = Participant(5);
    EXPECT_EQ(eleventh->GetOwnId(), 0);
    EXPECT_EQ(eleventh->GetCount(), 10);
    EXPECT_EQ(eleventh->GetCountType(1), 5);
    ten[3].reset();
    eleventh->DoPoll(nullptr);
    EXPECT_NE(eleventh->GetOwnId(), 0);
    Table table;
    EXPECT_EQ(table->Slots[3].Id, eleventh->GetOwnId());
    EXPECT_EQ(eleventh->GetCountType(5), 1);
}

TEST(IPMonitor, DeadSlotsExpireAfter2000MsAndFutureTicksToo) {
    auto me = Participant();
    Table table;
    const std::uint32_t now = platform::GetTickCount();
    table->Slots[4] = MonitorSlot{0x9000, now - 2500, 3};  // a process killed long ago
    table->Slots[5] = MonitorSlot{0x9001, now - 1500, 3};  // alive, across any wrap of the count
    table->Slots[6] = MonitorSlot{0x9002, now + 60000, 3}; // ahead of the poller's time
    table->Slots[7] = MonitorSlot{-5, now - 9999, 3};      // not a valid Id: left alone
    me->DoPoll(nullptr);
    EXPECT_EQ(table->Slots[4].Id, 0);
    EXPECT_EQ(table->Slots[5].Id, 0x9001);
    EXPECT_EQ(table->Slots[6].Id, 0);
    EXPECT_EQ(table->Slots[7].Id, -5);
    EXPECT_EQ(me->GetCount(), 3);
}

TEST(IPMonitor, AnExpiredParticipantRegistersAgainUnderANewId) {
    auto me = Participant(2);
    Table table;
    const int oldId = me->GetOwnId();
    table->Slots[0].Tick -= 5000;
    auto other = Participant();
    other->DoPoll(nullptr); // expires my slot
    me->DoPoll(nullptr);
    EXPECT_EQ(me->GetOwnId(), 0);
    me->DoPoll(nullptr);
    EXPECT_NE(me->GetOwnId(), 0);
    EXPECT_NE(me->GetOwnId(), oldId);
    EXPECT_EQ(me->GetCountType(2), 1);
}

TEST(IPMonitor, BusyMutexGivesMinusOneAndNoHeartbeat) {
    auto me = Participant(1);
    Table table;
    table->Slots[0].Tick = 7;
    platform::Handle mutex = platform::CreateNamedMutex(nullptr, "Mon_MON_MUTEX");
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        platform::WaitForNamedMutex(mutex, 1000);
        held = true;
        while (!release) {
            std::this_thread::yield();
        }
        platform::ReleaseNamedMutex(mutex);
    });
    while (!held) {
        std::this_thread::yield();
    }
    EXPECT_EQ(me->GetCountType(1), -1);
    me->DoPoll(nullptr);
    EXPECT_EQ(table->Slots[0].Tick, 7u);
    release = true;
    holder.join();
    platform::CloseNamedHandle(mutex);
    EXPECT_EQ(me->GetCountType(1), 1);
}

// A holder that ended without releasing the table's mutex leaves it abandoned: the heartbeat
// goes ahead and the mutex is released, not kept owned.
TEST(IPMonitor, AnAbandonedMutexIsUsedAndReleased) {
    auto me = Participant(1);
    Table table;
    table->Slots[0].Tick = 7;
    platform::Handle mutex = platform::CreateNamedMutex(nullptr, "Mon_MON_MUTEX");
    std::thread([mutex] { platform::WaitForNamedMutex(mutex, 0); }).join(); // ends holding it
    me->DoPoll(nullptr);
    EXPECT_NE(table->Slots[0].Tick, 7u) << "the heartbeat went ahead";
    std::uint32_t other = platform::kWaitFailed;
    std::thread([&] {
        other = platform::WaitForNamedMutex(mutex, 0);
        if (other == platform::kWaitObject0) {
            platform::ReleaseNamedMutex(mutex);
        }
    }).join();
    EXPECT_EQ(other, platform::kWaitObject0);
    platform::CloseNamedHandle(mutex);
}

TEST(IPMonitor, SettingsAreFixedWhileActiveAndInactiveGivesMinusOne) {
    auto me = Participant(4, false);
    EXPECT_EQ(me->GetCountType(4), -1);
    me->SetActive(true);
    me->SetBaseName("Other");
    me->SetType(9);
    EXPECT_EQ(me->GetBaseName(), "Mon");
    EXPECT_EQ(me->GetType(), 4);
    me->SetActive(false);
    EXPECT_EQ(me->GetCount(), 0) << "the count of the last unregister";
    EXPECT_EQ(me->GetOwnId(), 0);
}
