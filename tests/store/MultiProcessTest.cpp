// The store across real processes: the test process and store_peer processes share one group.
#include "StoreFixture.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;
long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}
// Whether the process is stopped (by a signal).
bool Stopped(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text{std::istreambuf_iterator<char>(stat), {}};
    const std::size_t end = text.rfind(')');
    return end != std::string::npos && text.compare(end + 2, 1, "T") == 0;
}
} // namespace

class MultiProcessTest : public StoreTest {
protected:
    // A peer that joined the group with one Float variable "Sense"/"PressRatio".
    static void Join(storetest::Peer& peer, bool master, const std::string& extra = "") {
        ASSERT_EQ(peer.Ask("interval 10"), "ok");
        ASSERT_EQ(peer.Ask(std::string("master ") + (master ? "1" : "0")), "ok");
        ASSERT_EQ(peer.Ask("add Sense PressRatio Float 1"), "added 0");
        if (!extra.empty()) {
            ASSERT_EQ(peer.Ask(extra), "added 1");
        }
    }
};

TEST_F(MultiProcessTest, MasterAndSlavesAreCountedAndASecondMasterBecomesSlave) {
    storetest::Peer master;
    storetest::Peer second;
    Join(master, true);
    Join(second, true);
    EXPECT_EQ(master.Ask("activate"), "active 1 master 1 mc 1 sc 0");
    Add("Sense", "PressRatio", "Float");
    Manager()->SetActive(true);
    EXPECT_EQ(Manager()->GetMasterCount(), 1);
    EXPECT_EQ(Manager()->GetSlaveCount(), 1);
    EXPECT_EQ(second.Ask("activate"), "active 1 master 0 mc 1 sc 2");
    EXPECT_EQ(second.Ask("deactivate"), "active 0 master 0 mc 0 sc 0");
    EXPECT_EQ(Manager()->GetSlaveCount(), 1);
    EXPECT_EQ(master.Ask("deactivate"), "active 0 master 1 mc 0 sc 0");
    EXPECT_EQ(Manager()->GetMasterCount(), 0);
}

TEST_F(MultiProcessTest, AnnouncedWritesArriveInTheOtherProcessAndSilentOnesDoNot) {
    storetest::Peer driver;
    Join(driver, true, "add Sense Quiet Int 1");
    ASSERT_EQ(driver.Ask("activate"), "active 1 master 1 mc 1 sc 0");
    float seen = -1;
    int quietChanges = 0;
    TShareVarBase* ratio = Add("Sense", "PressRatio", "Float", 1, [&](tk::TObject* sender) {
        seen = static_cast<TShareVarBase*>(sender)->GetValueFloat();
    });
    Add("Sense", "Quiet", "Int", 1, Counter(quietChanges));
    Manager()->SetInterval(10);
    Manager()->SetActive(true);

    ratio->SetValueFloat(0.25f);
    EXPECT_EQ(driver.WaitLine("change 0"), "change 0 0.25");
    EXPECT_TRUE(storetest::PumpUntil([&] { return seen == 0.25f; })) << "the writer gets it too";

    ASSERT_EQ(driver.Ask("setx 1 0 5"), "ok");
    ASSERT_EQ(driver.Ask("set 0 0 0.75"), "ok");
    EXPECT_TRUE(storetest::PumpUntil([&] { return seen == 0.75f; }));
    EXPECT_EQ(vars->GetVar(1)->GetValueInt(), 5);
    EXPECT_EQ(quietChanges, 0);
}

TEST_F(MultiProcessTest, PendingWritesAreFlushedAndAnnouncedByTheFirstPoll) {
    storetest::Peer driver;
    Join(driver, true);
    ASSERT_EQ(driver.Ask("activate"), "active 1 master 1 mc 1 sc 0");
    Add("Sense", "PressRatio", "Float")->SetValueFloatX(0.5f); // silent, before activation
    Manager()->SetActive(true);
    EXPECT_EQ(driver.WaitLine("change 0"), "change 0 0.5");
}

TEST_F(MultiProcessTest, RingWrapsAroundAndAMasterRestartResetsTheWriteIndex) {
    storetest::Peer driver;
    Join(driver, true);
    ASSERT_EQ(driver.Ask("activate"), "active 1 master 1 mc 1 sc 0");
    int changes = 0;
    Add("Sense", "PressRatio", "Float", 1, Counter(changes));
    Manager()->SetActive(true);
    ASSERT_EQ(driver.Ask("burst 0 1000"), "ok");
    EXPECT_TRUE(storetest::PumpUntil([&] { return changes == 1000; }));
    ASSERT_EQ(driver.Ask("burst 0 100"), "ok"); // past the end of the ring and on from 0
    EXPECT_TRUE(storetest::PumpUntil([&] { return changes == 1100; }));

    // Stop polling here, so the read position stays at 76 while the master restarts.
    Manager()->SetActive(false);
    ASSERT_EQ(driver.Ask("burst 0 500"), "ok");
    Manager()->SetActive(true); // read position 576
    changes = 0;
    ASSERT_EQ(driver.Ask("deactivate"), "active 0 master 1 mc 0 sc 0");
    ASSERT_EQ(driver.Ask("activate"), "active 1 master 1 mc 1 sc 1");
    ASSERT_EQ(driver.Ask("burst 0 3"), "ok");
    // Old entries 576..1023 and the new ones 0..2.
    EXPECT_TRUE(storetest::PumpUntil([&] { return changes == 448 + 3; }));
    storetest::PumpFor(50);
    EXPECT_EQ(changes, 451);
}

TEST_F(MultiProcessTest, APeerKilledHoldingAVariableMutexCostsAtMostOneWait) {
    storetest::Peer holder;
    Join(holder, false);
    ASSERT_EQ(holder.Ask("activate"), "active 1 master 0 mc 0 sc 1");
    TShareVarBase* ratio = Add("Sense", "PressRatio", "Float");
    Manager()->SetActive(true);
    ASSERT_EQ(holder.Ask("set 0 0 1.5"), "ok");
    ASSERT_EQ(holder.Ask("lock 0"), "locked");
    auto start = Clock::now();
    EXPECT_FLOAT_EQ(ratio->GetValueFloat(), 1.5f) << "goes on unlocked after the time-out";
    EXPECT_GE(MsSince(start), 900);
    holder.Kill();
    start = Clock::now();
    ratio->SetValueFloat(2.5f); // the abandoned mutex is taken over and released normally
    EXPECT_FLOAT_EQ(ratio->GetValueFloat(), 2.5f);
    EXPECT_FLOAT_EQ(ratio->GetValueFloat(), 2.5f);
    EXPECT_LT(MsSince(start), 200);
}

TEST_F(MultiProcessTest, WhenAllProcessesAreGoneTheNextStartSeesZeroedBlocks) {
    {
        storetest::Peer driver;
        Join(driver, true);
        ASSERT_EQ(driver.Ask("activate"), "active 1 master 1 mc 1 sc 0");
        ASSERT_EQ(driver.Ask("set 0 0 42"), "ok");
        driver.Kill();
    }
    EXPECT_FALSE(storetest::LeftoverObjects().empty()) << "a killed process leaves its names";
    TShareVarBase* ratio = Add("Sense", "PressRatio", "Float");
    Manager()->SetActive(true);
    EXPECT_EQ(ratio->GetValueFloat(), 0.0f);
    EXPECT_EQ(ratio->GetID(), 0);
    EXPECT_EQ(Manager()->GetMasterCount(), 0);
    EXPECT_EQ(Manager()->GetSlaveCount(), 1);
}

TEST_F(MultiProcessTest, AMasterKilledWhileActiveIsSeenAbsentAndANewMasterTakesOver) {
    storetest::Peer first;
    Join(first, true);
    ASSERT_EQ(first.Ask("activate"), "active 1 master 1 mc 1 sc 0");
    float seen = 0;
    Add("Sense", "PressRatio", "Float", 1,
        [&](tk::TObject* sender) { seen = static_cast<TShareVarBase*>(sender)->GetValueFloat(); });
    Manager()->SetActive(true);
    ASSERT_EQ(Manager()->GetMasterCount(), 1);
    first.Kill();
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(Manager()->GetMasterCount(), 0) << "within one poll";

    storetest::Peer second;
    Join(second, true);
    EXPECT_EQ(second.Ask("activate"), "active 1 master 1 mc 1 sc 1");
    EXPECT_EQ(Manager()->GetMasterCount(), 1);
    ASSERT_EQ(second.Ask("set 0 0 3"), "ok");
    EXPECT_TRUE(storetest::PumpUntil([&] { return seen == 3.0f; }));
}

TEST_F(MultiProcessTest, AMasterThatDiesBeforeAnyoneElseActivatesIsReplacedAtActivation) {
    storetest::Peer slave;
    Join(slave, false);
    ASSERT_EQ(slave.Ask("activate"), "active 1 master 0 mc 0 sc 1"); // keeps the group alive
    {
        storetest::Peer first;
        Join(first, true);
        ASSERT_EQ(first.Ask("activate"), "active 1 master 1 mc 1 sc 1");
        first.Kill();
    }
    Add("Sense", "PressRatio", "Float");
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    EXPECT_TRUE(Manager()->GetMaster());
    EXPECT_EQ(Manager()->GetMasterCount(), 1);
    EXPECT_EQ(slave.Ask("counts"), "counts 1 1");
}

// A slave killed at a random moment (writing, or holding a variable's mutex), 20 times over: the
// master uncounts it within two polls, exactly once, and nothing else changes for the others.
TEST_F(MultiProcessTest, AKilledSlaveIsUncountedOnceWithinTwoPolls) {
    Add("Sense", "PressRatio", "Float");
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    storetest::Peer other;
    Join(other, false);
    ASSERT_EQ(other.Ask("activate"), "active 1 master 0 mc 1 sc 1");
    std::mt19937 random(12);
    for (int round = 1; round <= 20; ++round) {
        SCOPED_TRACE(round);
        storetest::Peer victim;
        Join(victim, false);
        ASSERT_EQ(victim.Ask("activate"), "active 1 master 0 mc 1 sc 2");
        ASSERT_TRUE(victim.Send(round % 2 == 0 ? "lock 0" : "burst 0 20000"));
        usleep(random() % 3000);
        victim.Kill();
        // Polls a poll interval apart. Whichever live manager tries the dead slave's slot first
        // uncounts it: this one, or the other slave when its own poll came first (then this
        // one's try may meet the slot still taken for a moment, so a loaded machine gets time).
        for (int polls = 0; polls < 20 && Manager()->GetSlaveCount() != 1; ++polls) {
            if (polls > 0) {
                usleep(50000);
            }
            Manager()->DoPoll(nullptr);
        }
        EXPECT_EQ(Manager()->GetSlaveCount(), 1);
        EXPECT_EQ(Manager()->GetMasterCount(), 1);
        vars->GetVar(0)->SetValueFloat(static_cast<float>(-round));
        const std::string change = "change 0 -" + std::to_string(round);
        EXPECT_EQ(other.WaitLine(change), change);
        EXPECT_EQ(other.Ask("counts"), "counts 1 1");
    }
    EXPECT_EQ(other.Ask("deactivate"), "active 0 master 0 mc 0 sc 0");
    EXPECT_EQ(Manager()->GetSlaveCount(), 0);
}

// A slave killed right after each mutex acquisition of its activation and deactivation in turn:
// within two polls of the surviving slave the count is the live slaves again, never more (a
// count raised for a slave that died before its slot said so) nor less.
TEST_F(MultiProcessTest, ASlaveKilledAtAnyStepOfJoiningOrLeavingLeavesTheCountRightWithinTwoPolls) {
    Add("Sense", "PressRatio", "Float");
    Manager()->SetInterval(1000); // the polls are this test's own, nearly all
    Manager()->SetActive(true);
    bool survived = false;
    for (int step = 1; step <= 100 && !survived; ++step) {
        SCOPED_TRACE(step);
        storetest::Peer victim({"QUILBEX_IPC_KILL_AFTER_LOCKS=" + std::to_string(step)});
        Join(victim, false);
        ASSERT_TRUE(victim.Send("activate\ndeactivate")); // one read: no poll in between
        ASSERT_TRUE(
            storetest::PumpUntil([&] { return victim.Seen("active 0") || victim.Ended(); }));
        survived = victim.Seen("active 0");
        Manager()->DoPoll(nullptr);
        Manager()->DoPoll(nullptr);
        EXPECT_EQ(Manager()->GetSlaveCount(), 1);
    }
    EXPECT_TRUE(survived) << "killed at every one of 100 steps";
}

// A slave stopped right after taking the group mutex in its activation: the joins and leaves
// whose wait for it times out meanwhile change no count, and two polls of everyone after it
// resumes count the live slaves (unlocked changes racing each other lost counts for good).
TEST_F(MultiProcessTest, JoinsAndLeavesBesideAStoppedLockHolderAreCountedWithinTwoPolls) {
    Add("Sense", "PressRatio", "Float");
    Manager()->SetInterval(1000); // the polls are this test's own, nearly all
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    storetest::Peer leaving, staying, first, second;
    for (storetest::Peer* peer : {&leaving, &staying, &first, &second}) {
        Join(*peer, false);
    }
    ASSERT_EQ(leaving.Ask("activate"), "active 1 master 0 mc 1 sc 1");
    ASSERT_EQ(staying.Ask("activate"), "active 1 master 0 mc 1 sc 2");
    storetest::Peer holder({"QUILBEX_IPC_STOP_AFTER_LOCKS=1"});
    Join(holder, false);
    ASSERT_TRUE(holder.Send("activate"));
    ASSERT_TRUE(storetest::PumpUntil([&] { return Stopped(holder.Pid()); }));

    ASSERT_TRUE(first.Send("activate") && second.Send("activate") && leaving.Send("quit"));
    EXPECT_EQ(first.WaitLine("active"), "active 1 master 0 mc 1 sc 2");
    EXPECT_EQ(second.WaitLine("active"), "active 1 master 0 mc 1 sc 2");
    EXPECT_EQ(leaving.WaitLine("bye"), "bye");
    EXPECT_EQ(Manager()->GetSlaveCount(), 2) << "changed without the group mutex";

    kill(holder.Pid(), SIGCONT);
    EXPECT_NE(holder.WaitLine("active 1 master 0"), "");
    for (int poll = 0; poll < 2; ++poll) {
        for (storetest::Peer* peer : {&staying, &first, &second, &holder}) {
            EXPECT_EQ(peer->Ask("poll"), "polled");
        }
        Manager()->DoPoll(nullptr);
    }
    EXPECT_EQ(Manager()->GetSlaveCount(), 4);
    for (storetest::Peer* peer : {&staying, &first, &second, &holder}) {
        EXPECT_EQ(peer->Ask("quit"), "bye");
    }
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(Manager()->GetSlaveCount(), 0);
}

// A master stopped half-way through making one of its shared objects (its N-th), then killed: a
// slave that joins meanwhile is active within 1.5 s, and afterwards a new master takes over, a
// master killed after that one is replaced again, and a killed slave is uncounted. A joiner that
// waited for the maker, or took its object half-made (a zero-filled mutex is not robust, so its
// holder's death is never seen), fails one of these.
struct HalfMadeObject {
    int made;
    const char* name;
};
void PrintTo(const HalfMadeObject& row, std::ostream* out) {
    *out << row.name;
}

class MultiProcessHalfMadeTest : public MultiProcessTest,
                                 public ::testing::WithParamInterface<HalfMadeObject> {};

TEST_P(MultiProcessHalfMadeTest, NoJoinerWaitsForTheMakerNorUsesTheObjectHalfMade) {
    storetest::Peer maker({"QUILBEX_IPC_STOP_MAKING=" + std::to_string(GetParam().made)});
    Join(maker, true);
    ASSERT_TRUE(maker.Send("activate"));
    ASSERT_TRUE(storetest::PumpUntil([&] { return Stopped(maker.Pid()); }));
    storetest::Peer joiner;
    Join(joiner, false);
    const auto start = Clock::now();
    EXPECT_EQ(joiner.Ask("activate", 3000).rfind("active 1 master 0 mc 0", 0), 0U);
    EXPECT_LT(MsSince(start), 1500);
    maker.Kill();
    EXPECT_EQ(joiner.Ask("poll"), "polled"); // counts itself, had the maker held the group mutex

    storetest::Peer first;
    Join(first, true);
    EXPECT_EQ(first.Ask("activate"), "active 1 master 1 mc 1 sc 1");
    first.Kill();
    storetest::Peer second;
    Join(second, true);
    EXPECT_EQ(second.Ask("activate"), "active 1 master 1 mc 1 sc 1");
    {
        storetest::Peer victim;
        Join(victim, false);
        EXPECT_EQ(victim.Ask("activate"), "active 1 master 0 mc 1 sc 2");
        victim.Kill();
    }
    for (int poll = 0; poll < 2; ++poll) {
        EXPECT_EQ(joiner.Ask("poll"), "polled");
        EXPECT_EQ(second.Ask("poll"), "polled");
    }
    EXPECT_EQ(second.Ask("counts"), "counts 1 1");
    EXPECT_EQ(joiner.Ask("quit"), "bye");
    EXPECT_EQ(second.Ask("quit"), "bye");
}

// The objects a master makes at activation, in order: the group mutex, the group block, the
// master proof, the slave slot table, then its variable's mutex and block.
INSTANTIATE_TEST_SUITE_P(MakerStopped, MultiProcessHalfMadeTest,
                         ::testing::Values(HalfMadeObject{1, "GroupMutex"},
                                           HalfMadeObject{3, "MasterProof"},
                                           HalfMadeObject{4, "SlotTable"},
                                           HalfMadeObject{5, "VariableMutex"}),
                         [](const auto& row) { return std::string(row.param.name); });

// After every process of the group was killed, a master that starts removes what they left,
// but not the objects of a slave that is alive; when it quits, nothing is left.
TEST_F(MultiProcessTest, AStartingMasterRemovesWhatKilledProcessesLeft) {
    {
        storetest::Peer driver;
        storetest::Peer slave;
        Join(driver, true, "add Gone A Int 1");
        Join(slave, false, "add Gone B Double 2");
        ASSERT_EQ(driver.Ask("activate"), "active 1 master 1 mc 1 sc 0");
        ASSERT_EQ(slave.Ask("activate"), "active 1 master 0 mc 1 sc 1");
        ASSERT_EQ(slave.Ask("lock 1"), "locked");
        driver.Kill();
        slave.Kill();
    }
    ASSERT_FALSE(storetest::LeftoverObjects().empty());
    storetest::Peer alive;
    Join(alive, false, "add Own V Int 1");
    ASSERT_EQ(alive.Ask("activate"), "active 1 master 0 mc 0 sc 1");
    ASSERT_EQ(alive.Ask("set 1 0 7"), "ok");
    storetest::Peer master;
    Join(master, true);
    ASSERT_EQ(master.Ask("activate"), "active 1 master 1 mc 1 sc 1");
    for (const std::string& name : storetest::LeftoverObjects()) {
        EXPECT_EQ(name.find("Gone"), std::string::npos) << name;
    }
    {
        storetest::BlockView own("MemGrpOwnVInt1", 6);
        EXPECT_TRUE(own.AlreadyExisted()) << "a live slave's block stays";
        EXPECT_EQ(storetest::Load<std::int32_t>(own.Bytes() + 2), 7);
    }
    EXPECT_EQ(master.Ask("quit"), "bye");
    EXPECT_EQ(alive.Ask("quit"), "bye");
    EXPECT_TRUE(storetest::PumpUntil([] { return storetest::LeftoverObjects().empty(); }));
}
