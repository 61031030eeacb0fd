// The group manager in one process: numbering, the change ring, master and slave roles, and
// blocks that another process has damaged or reset.
#include "StoreFixture.h"
#include "platform/Kernel.h"
#include "store/ShareManager.h"

#include <chrono>
#include <climits>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

ShareGroupBlock* Group(storetest::BlockView& view) {
    return view.As<ShareGroupBlock>();
}

} // namespace

TEST_F(StoreTest, MasterNumbersDistinctVariablesAndTwinsShareAnId) {
    TShareVarBase* a = Add("S", "A", "Int");
    TShareVarBase* a2 = Add("S", "A", "Int");
    TShareVarBase* b = Add("S", "B", "Int");
    TShareVarBase* c1 = Add("S", "C", "Int", 1);
    TShareVarBase* c2 = Add("S", "C", "Int", 2); // twin by name and type, own block
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    EXPECT_EQ(a->GetID(), 1);
    EXPECT_EQ(a2->GetID(), 1);
    EXPECT_EQ(b->GetID(), 2);
    EXPECT_EQ(c1->GetID(), 3);
    EXPECT_EQ(c2->GetID(), 0);
    int changes = 0;
    a->OnChange = Counter(changes);
    a2->OnChange = Counter(changes);
    a2->SetValueInt(4);
    EXPECT_EQ(a->GetValueInt(), 4) << "twins share one block";
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(changes, 2) << "both twins receive the change";
    storetest::BlockView group("MemGrp", 1032);
    const std::int32_t before = Group(group)->RingWriteIndex;
    c2->SetValueInt(1);
    EXPECT_EQ(Group(group)->RingWriteIndex, before) << "ID 0 is never announced";
}

TEST_F(StoreTest, The256thVariableGetsIdZeroAndNumberingStartsAgain) {
    std::vector<TShareVarBase*> all;
    for (int i = 0; i < 257; ++i) {
        std::string name = "V";
        name += std::to_string(i);
        all.push_back(Add("S", name, "Bool"));
    }
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    EXPECT_EQ(all[0]->GetID(), 1);
    EXPECT_EQ(all[254]->GetID(), 255);
    EXPECT_EQ(all[255]->GetID(), 0);
    EXPECT_EQ(all[256]->GetID(), 1);
}

TEST_F(StoreTest, AnnouncedWriteArrivesOnTheNextPollAndSilentWriteNever) {
    int changes = 0;
    std::vector<std::string> order;
    TShareVarBase* v = Add("S", "V", "Int", 1, [&](tk::TObject* sender) {
        order.push_back("change");
        EXPECT_EQ(sender, vars->GetVar(0));
    });
    v->OnPoll = Counter(changes);
    TShareManager component(nullptr);
    component.SetOnMonitor([&](tk::TObject* sender, int id) {
        EXPECT_EQ(sender, Manager());
        order.push_back("monitor " + std::to_string(id));
    });
    Manager()->SetMaster(true);
    component.SetActive(true);
    v->SetValueInt(1);
    EXPECT_TRUE(order.empty());
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(order, (std::vector<std::string>{"change", "monitor 1"}));
    EXPECT_EQ(changes, 1) << "OnPoll on every poll";
    order.clear();
    v->SetValueIntX(2);
    Manager()->DoPoll(nullptr);
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(changes, 2);
    component.SetActive(false);
}

TEST_F(StoreTest, WithoutAMasterWritesAreNotAnnouncedButPollsStillFire) {
    int changes = 0;
    int polls = 0;
    TShareVarBase* v = Add("S", "V", "Int", 1, Counter(changes), Counter(polls));
    storetest::BlockView var("MemGrpSVInt1", 6);
    var.Bytes()[1] = 5; // numbered by an earlier master
    Manager()->SetActive(true);
    storetest::BlockView group("MemGrp", 1032);
    v->SetValueInt(3);
    EXPECT_EQ(Group(group)->RingWriteIndex, 0);
    EXPECT_EQ(var.Bytes()[2], 3) << "the write still reaches the block";
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(polls, 1);
    EXPECT_EQ(changes, 0);
}

TEST_F(StoreTest, MasterFindingAnActiveMasterGoesOnAsSlaveSilently) {
    int masterChanges = 0;
    Add("S", "V", "Int")->OnMasterChange = Counter(masterChanges);
    storetest::BlockView group("MemGrp", 1032);
    Group(group)->MasterCount = 1; // a live master that never takes the proof lock
    Manager()->SetMaster(true);
    masterChanges = 0;
    Manager()->SetActive(true);
    EXPECT_FALSE(Manager()->GetMaster());
    EXPECT_EQ(masterChanges, 0);
    EXPECT_EQ(Group(group)->MasterCount, 1);
    EXPECT_EQ(Group(group)->SlaveCount, 1);
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(Group(group)->MasterCount, 1) << "no proof of death: nothing changes";
    Manager()->SetActive(false);
    EXPECT_EQ(Group(group)->SlaveCount, 0);
}

// A master that restarts resets the write index to 0 while this slave's read position lies
// beyond it: the slave reads to the end of the ring and on from 0.
TEST_F(StoreTest, SlaveReadsAroundTheRingAfterAMasterRestart) {
    int changes = 0;
    Add("S", "V", "Int", 1, Counter(changes));
    storetest::BlockView var("MemGrpSVInt1", 6);
    var.Bytes()[1] = 7;
    storetest::BlockView group("MemGrp", 1032);
    Group(group)->MasterCount = 1;
    Group(group)->RingWriteIndex = 1000;
    Manager()->SetActive(true);
    for (int i = 1000; i < 1024; ++i) {
        Group(group)->ChangeRing[i] = 7;
    }
    Group(group)->ChangeRing[0] = 7;
    Group(group)->ChangeRing[1] = 0; // an empty entry is skipped
    Group(group)->ChangeRing[2] = 7;
    Group(group)->RingWriteIndex = 3;
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(changes, 26);
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(changes, 26) << "entries are delivered once";
}

TEST_F(StoreTest, HostileGroupBlockNeverMovesAReaderOutsideTheRing) {
    int changes = 0;
    Add("S", "V", "Int", 1, Counter(changes));
    storetest::BlockView var("MemGrpSVInt1", 6);
    var.Bytes()[1] = 9;
    storetest::BlockView group("MemGrp", 1032);
    ShareGroupBlock* g = Group(group);
    g->MasterCount = 200;
    g->SlaveCount = 255;
    g->RingWriteIndex = INT_MIN;
    Manager()->SetActive(true);
    EXPECT_EQ(g->SlaveCount, 255) << "a full slave count stays in its byte";
    std::memset(g->ChangeRing, 9, sizeof(g->ChangeRing));
    for (std::int32_t hostile : {5000, -7, INT_MAX, 1024, -1024, 3}) {
        g->RingWriteIndex = hostile;
        Manager()->DoPoll(nullptr);
        vars->GetVar(0)->SetValueInt(1); // writes one entry at the index taken into the ring
        EXPECT_GE(g->RingWriteIndex, 0);
        EXPECT_LT(g->RingWriteIndex, 1024);
    }
    EXPECT_GT(changes, 0);
    Manager()->SetActive(false);
    EXPECT_EQ(g->SlaveCount, 255) << "a slave past the full count was not counted, nor uncounted";
}

TEST_F(StoreTest, HandlersMayDeleteVariablesOrTheWholeSetDuringAPoll) {
    TShareVarBase* first = Add("S", "A", "Int");
    TShareVarBase* second = Add("S", "B", "Int");
    Add("S", "C", "Int");
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    int secondChanges = 0;
    second->OnChange = Counter(secondChanges);
    first->OnChange = [&](tk::TObject*) { delete second; };
    first->SetValueInt(1);
    second->SetValueInt(1);
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(secondChanges, 0);
    EXPECT_EQ(vars->GetCount(), 2);
    vars->GetVar(0)->OnChange = [&](tk::TObject*) { vars.reset(); };
    vars->GetVar(0)->SetValueInt(2);
    vars->GetVar(1)->SetValueInt(2);
    Manager()->DoPoll(nullptr); // the manager goes with its last variable, mid-poll
    EXPECT_EQ(Manager()->GetRegisterCount(), 0);
    EXPECT_FALSE(Manager()->GetActive());
}

// An exception from an OnChange handler reaches the caller of the poll, but the entry that
// raised it is consumed: it does not come back on every later poll and block the ring, the
// flushes and the poll events.
TEST_F(StoreTest, AnEntryWhoseHandlerRaisesIsConsumedAndLaterEntriesStillArrive) {
    int raised = 0;
    int changes = 0;
    int polls = 0;
    TShareVarBase* a = Add("S", "A", "Int", 1, [&](tk::TObject*) {
        ++raised;
        throw std::runtime_error("handler");
    });
    TShareVarBase* b = Add("S", "B", "Int", 1, Counter(changes), Counter(polls));
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    a->SetValueInt(1);
    b->SetValueInt(2);
    EXPECT_THROW(Manager()->DoPoll(nullptr), std::runtime_error);
    EXPECT_EQ(raised, 1);
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(raised, 1) << "the entry that raised is not delivered again";
    EXPECT_EQ(changes, 1) << "the next entry arrives on the next poll";
    EXPECT_EQ(polls, 1);
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(polls, 2);
}

TEST_F(StoreTest, StoreComponentForwardsToTheManager) {
    TShareManager component(nullptr);
    EXPECT_EQ(component.GetGrpName(), "Grp") << "reading creates the manager";
    EXPECT_EQ(component.GetRegisterCount(), 0);
    Add("S", "V", "Int");
    component.SetInterval(3);
    EXPECT_EQ(Manager()->GetInterval(), 10u);
    Manager()->SetOnMonitor([](tk::TObject*, int) {});
    component.SetActive(true);
    EXPECT_FALSE(Manager()->GetOnMonitor()) << "the component's (unassigned) handler replaces it";
    EXPECT_EQ(component.GetSlaveCount(), 1);
    EXPECT_EQ(component.GetRegisterCount(), 1);
    Manager()->SetOnMonitor([](tk::TObject*, int) {});
    component.SetActive(true); // changes nothing in the manager but copies the handler again
    EXPECT_FALSE(Manager()->GetOnMonitor());
    EXPECT_EQ(component.GetSlaveCount(), 1);
    component.SetActive(false);

    TShareManager designed(nullptr);
    designed.SetComponentState(tk::TComponentState::Designing);
    EXPECT_EQ(designed.GetShareManBase(), nullptr);
    EXPECT_EQ(designed.GetGrpName(), "");
    EXPECT_EQ(designed.GetInterval(), 0u);
    EXPECT_EQ(designed.TestIni(), 0);
    designed.SetActive(true);
    EXPECT_FALSE(Manager()->GetActive());
}

TEST_F(StoreTest, PollIntervalFollowsTheSlaveCount) {
    int polls = 0;
    Add("S", "V", "Int", 1, nullptr, Counter(polls));
    Manager()->SetInterval(10);
    Manager()->SetMaster(true);
    Manager()->SetActive(true); // a master without slaves: the first tick, then every 1000 ms
    EXPECT_TRUE(storetest::PumpUntil([&] { return polls >= 1; }, 3000));
    storetest::PumpFor(300);
    EXPECT_EQ(polls, 1) << "no slave in the group: the next tick is 1000 ms away";
    Manager()->SetActive(false);
    Manager()->SetMaster(false);
    polls = 0;
    Manager()->SetActive(true); // a slave counts itself: ticks every 10 ms after the first 100
    EXPECT_TRUE(storetest::PumpUntil([&] { return polls >= 5; }, 3000));
}

// A holder that ends without releasing the group mutex leaves it abandoned: the store takes it,
// makes it consistent and releases it, so other participants are never kept waiting. The holder
// may have died half-way through a change of the slave count: that is rebuilt from the slots.
TEST_F(StoreTest, AnAbandonedGroupMutexIsTakenAndReleased) {
    Add("S", "V", "Int");
    platform::Handle mutex = platform::CreateNamedMutex(nullptr, "MutGrp");
    ASSERT_NE(mutex, nullptr);
    storetest::BlockView group("MemGrp", 1032);
    std::thread([&] {
        platform::WaitForNamedMutex(mutex, 0);
        Group(group)->SlaveCount = 2; // and ends holding it, no slot flagged
    }).join();
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    std::uint32_t other = platform::kWaitFailed;
    std::thread([&] {
        other = platform::WaitForNamedMutex(mutex, 0);
        if (other == platform::kWaitObject0) {
            platform::ReleaseNamedMutex(mutex);
        }
    }).join();
    EXPECT_EQ(other, platform::kWaitObject0) << "activation released what it took";
    EXPECT_EQ(Manager()->GetMasterCount(), 1);
    EXPECT_EQ(Manager()->GetSlaveCount(), 0);
    Manager()->SetActive(false);
    platform::CloseNamedHandle(mutex);
}

TEST_F(StoreTest, DeactivationWithATickPendingReturnsAtOnceAndDropsTheTick) {
    int polls = 0;
    Add("S", "V", "Int", 1, nullptr, Counter(polls));
    Manager()->SetActive(true);
    platform::Sleep(150); // the first tick, due after 100 ms, now waits for this thread
    const auto start = std::chrono::steady_clock::now();
    Manager()->SetActive(false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    storetest::PumpFor(20);
    EXPECT_EQ(polls, 0);
}

TEST_F(StoreTest, APollHandlerMayDeactivateTheStore) {
    Add("S", "V", "Int", 1, nullptr, [](tk::TObject*) { Manager()->SetActive(false); });
    Manager()->SetActive(true);
    EXPECT_TRUE(storetest::PumpUntil([] { return !Manager()->GetActive(); }));
    Manager()->SetActive(true);
    EXPECT_TRUE(storetest::PumpUntil([] { return !Manager()->GetActive(); })) << "and again";
}
