// Named shared objects: naming, lifetime with Windows semantics, sizes, permissions and the
// robust, recursive, process-shared mutex.
#include "platform/Ipc.h"
#include "platform/Kernel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sched.h>
#include <string>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace platform;

namespace {

bool Exists(const std::string& name) {
    struct stat st {};
    return stat(("/dev/shm" + SharedMemoryName(name)).c_str(), &st) == 0;
}

// Runs `body` in a child process that ends with _exit (no clean-up), as a crash would.
template <class F> void InChildThatDies(F body) {
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
}

struct Mapping {
    Mapping(const std::string& name, std::uint32_t size) {
        handle = CreateNamedMapping(nullptr, size, name, &existed);
        view = handle != nullptr ? static_cast<std::uint8_t*>(MapViewOfMapping(handle, size))
                                 : nullptr;
    }
    ~Mapping() {
        if (view != nullptr) {
            UnmapViewOfMapping(view);
        }
        CloseNamedHandle(handle);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    Handle handle = nullptr;
    std::uint8_t* view = nullptr;
    bool existed = false;
};

class Ipc : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string prefix = "qp" + std::to_string(getpid()) + "_";
        setenv("QUILBEX_IPC_NAMESPACE", prefix.c_str(), 1);
    }
};

} // namespace

TEST_F(Ipc, NamesCarryTheNamespaceAndBadNamesFail) {
    EXPECT_EQ(SharedMemoryName("MutGrp"), "/qp" + std::to_string(getpid()) + "_MutGrp");
    EXPECT_EQ(CreateNamedMutex(nullptr, "A/B"), nullptr);
    EXPECT_EQ(CreateNamedMapping(nullptr, 8, std::string(300, 'x')), nullptr);
    EXPECT_EQ(CreateNamedMapping(nullptr, 0, "Empty"), nullptr);
    EXPECT_EQ(CreateNamedMapping(nullptr, 8, ""), nullptr);
    EXPECT_FALSE(Exists("A"));
}

TEST_F(Ipc, ObjectLivesWhileHeldAndIsZeroFilledWhenCreated) {
    {
        Mapping first("MemLife", 16);
        ASSERT_NE(first.view, nullptr);
        EXPECT_FALSE(first.existed);
        first.view[3] = 42;
        {
            Mapping second("MemLife", 16);
            EXPECT_TRUE(second.existed);
            EXPECT_EQ(second.view[3], 42) << "one object, shared";
        }
        EXPECT_TRUE(Exists("MemLife")) << "still held by the first";
        Mapping third("MemLife", 8);
        EXPECT_TRUE(third.existed) << "a smaller view of a larger object is fine";
        EXPECT_EQ(MapViewOfMapping(third.handle, 17), nullptr) << "beyond the object";
    }
    EXPECT_FALSE(Exists("MemLife")) << "the last holder removed the name";
    Mapping again("MemLife", 16);
    EXPECT_FALSE(again.existed);
    EXPECT_EQ(again.view[3], 0);
}

TEST_F(Ipc, OpeningAnExistingObjectLargerThanItIsFails) {
    Mapping small("MemSmall", 8);
    EXPECT_EQ(CreateNamedMapping(nullptr, 9, "MemSmall"), nullptr);
}

TEST_F(Ipc, ObjectLeftByADeadProcessIsZeroedForTheNextOpener) {
    InChildThatDies([] {
        Handle h = CreateNamedMapping(nullptr, 16, "MemDead");
        std::memset(MapViewOfMapping(h, 16), 0x5A, 16);
    });
    EXPECT_TRUE(Exists("MemDead"));
    Mapping next("MemDead", 16);
    EXPECT_FALSE(next.existed) << "no live holder: created afresh";
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(next.view[i], 0);
    }
}

TEST_F(Ipc, DescriptorsAreCloseOnExec) {
    Handle h = CreateNamedMutex(nullptr, "MutExec");
    ASSERT_NE(h, nullptr);
    // The object's descriptor is the newest one this process opened for it.
    int found = 0;
    for (int fd = 3; fd < 1024; ++fd) {
        char link[256] = {};
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        if (readlink(path.c_str(), link, sizeof(link) - 1) > 0 &&
            std::string(link).find("MutExec") != std::string::npos) {
            ++found;
            EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
        }
    }
    EXPECT_EQ(found, 1);
    CloseNamedHandle(h);
}

TEST_F(Ipc, MutexIsRecursiveForItsOwnerAndTimesOutForOthers) {
    Handle m = CreateNamedMutex(nullptr, "MutRec");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(WaitForNamedMutex(m, 0), kWaitObject0);
    EXPECT_EQ(WaitForNamedMutex(m, 1000), kWaitObject0);
    std::uint32_t other = 0;
    long long waited = 0;
    std::thread([&] {
        const auto start = std::chrono::steady_clock::now();
        other = WaitForNamedMutex(m, 100);
        waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - start)
                     .count();
    }).join();
    EXPECT_EQ(other, kWaitTimeout);
    EXPECT_GE(waited, 90);
    EXPECT_TRUE(ReleaseNamedMutex(m));
    EXPECT_TRUE(ReleaseNamedMutex(m));
    EXPECT_FALSE(ReleaseNamedMutex(m)) << "not owned any more";
    std::thread([&] { other = WaitForNamedMutex(m, 0); }).join();
    EXPECT_EQ(other, kWaitObject0);
    EXPECT_EQ(WaitForNamedMutex(m, 0), kWaitAbandoned) << "that thread ended holding it";
    EXPECT_TRUE(ReleaseNamedMutex(m));
    CloseNamedHandle(m);
    EXPECT_EQ(WaitForNamedMutex(nullptr, 0), kWaitFailed);
}

TEST_F(Ipc, MutexOfAProcessThatDiedHoldingItIsAbandonedOnceThenNormal) {
    Handle m = CreateNamedMutex(nullptr, "MutAbandon");
    InChildThatDies([] {
        Handle mine = CreateNamedMutex(nullptr, "MutAbandon");
        WaitForNamedMutex(mine, 0);
    });
    EXPECT_EQ(WaitForNamedMutex(m, 1000), kWaitAbandoned);
    EXPECT_TRUE(ReleaseNamedMutex(m));
    EXPECT_EQ(WaitForNamedMutex(m, 1000), kWaitObject0);
    EXPECT_TRUE(ReleaseNamedMutex(m));
    CloseNamedHandle(m);
}

TEST_F(Ipc, MutexObjectsAreOneMutexAcrossHandles) {
    Handle a = CreateNamedMutex(nullptr, "MutShared");
    Handle b = CreateNamedMutex(nullptr, "MutShared");
    ASSERT_EQ(WaitForNamedMutex(a, 0), kWaitObject0);
    std::uint32_t other = 0;
    std::thread([&] { other = WaitForNamedMutex(b, 0); }).join();
    EXPECT_EQ(other, kWaitTimeout);
    ReleaseNamedMutex(a);
    CloseNamedHandle(a);
    CloseNamedHandle(b);
}

// Processes that open and close one object at once: none may ever find the object re-zeroed
// while another holds it, and nothing may be left behind.
TEST_F(Ipc, ConcurrentOpenersAndClosersNeverLoseALiveObject) {
    constexpr int kProcesses = 6;
    constexpr int kRounds = 300;
    pid_t children[kProcesses];
    for (pid_t& child : children) {
        child = fork();
        if (child == 0) {
            int bad = 0;
            for (int round = 0; round < kRounds; ++round) {
                Handle h = CreateNamedMapping(nullptr, 8, "MemStress");
                auto* holders = static_cast<std::atomic<int>*>(MapViewOfMapping(h, 8));
                if (holders == nullptr) {
                    _exit(2);
                }
                holders->fetch_add(1);
                sched_yield();
                if (holders->fetch_sub(1) < 1) {
                    ++bad; // zeroed under a holder
                }
                UnmapViewOfMapping(holders);
                CloseNamedHandle(h);
            }
            _exit(bad == 0 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_FALSE(Exists("MemStress"));
}

TEST_F(Ipc, RemovalTakesOnlyObjectsOfThePrefixThatNobodyHolds) {
    InChildThatDies([] {
        CreateNamedMapping(nullptr, 8, "MemGone");
        CreateNamedMutex(nullptr, "MutGone");
        CreateNamedMapping(nullptr, 8, "KeptGone");
    });
    Mapping held("MemHeld", 8);
    Handle heldMutex = CreateNamedMutex(nullptr, "MutHeld");
    EXPECT_EQ(RemoveUnheldObjects("Mem"), 1);
    EXPECT_EQ(RemoveUnheldObjects("Mut"), 1);
    EXPECT_FALSE(Exists("MemGone"));
    EXPECT_FALSE(Exists("MutGone"));
    EXPECT_TRUE(Exists("MemHeld"));
    EXPECT_TRUE(Exists("MutHeld"));
    EXPECT_TRUE(Exists("KeptGone")) << "another prefix";
    EXPECT_EQ(RemoveUnheldObjects("Kept"), 1);
    EXPECT_EQ(RemoveUnheldObjects(""), 0);
    CloseNamedHandle(heldMutex);
}

// An opener racing the removal of an unheld object under the same name must end up holding the
// named object: a second opener then finds it and shares its memory. The opener comes at a random
// moment after the object was left, so that it often meets a remover in the middle of its work.
TEST_F(Ipc, AnOpenerRacingRemovalNeverKeepsAnUnlinkedObject) {
    const std::string shmName = SharedMemoryName("MemRace");
    pid_t removers[2];
    for (pid_t& remover : removers) {
        remover = fork();
        if (remover == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlives a test that stops early
            for (;;) {
                RemoveUnheldObjects("MemRace");
            }
        }
    }
    std::mt19937 random(7);
    int unlinked = 0;
    for (int round = 0; round < 3000; ++round) {
        const int garbage = shm_open(shmName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(garbage, 0);
        ASSERT_EQ(ftruncate(garbage, 8), 0);
        close(garbage); // left unheld, as by a killed process
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 300);
        while (std::chrono::steady_clock::now() < until) {
        }
        Mapping first("MemRace", 8);
        ASSERT_NE(first.view, nullptr);
        first.view[0] = 1;
        Mapping second("MemRace", 8);
        if (!second.existed || second.view[0] != 1) {
            ++unlinked;
        }
    }
    for (pid_t remover : removers) {
        kill(remover, SIGKILL);
        waitpid(remover, nullptr, 0);
    }
    EXPECT_EQ(unlinked, 0);
}

// Lowers the open-file limit to 64 and opens descriptors until none is left.
void UseEveryDescriptor() {
    const rlimit limit{64, 64};
    setrlimit(RLIMIT_NOFILE, &limit);
    while (open("/dev/null", O_RDONLY | O_CLOEXEC) >= 0) {
    }
}

// At the open-file limit the last holder still removes an object's name, and making an object
// with the one descriptor left leaves no name that nobody holds: a name check that needed a
// descriptor of its own took the limit for another object and kept the name.
TEST_F(Ipc, AtTheOpenFileLimitNoNameIsLeftBehind) {
    InChildThatDies([] {
        Handle held = CreateNamedMapping(nullptr, 8, "MemLimitHeld");
        UseEveryDescriptor();
        CloseNamedHandle(held); // its descriptor is the one left for the next
        CloseNamedHandle(CreateNamedMapping(nullptr, 8, "MemLimitNew"));
    });
    EXPECT_FALSE(Exists("MemLimitHeld"));
    EXPECT_FALSE(Exists("MemLimitNew"));
}

// With the shared-memory folder full (a private 16 KB one), making an object fails, and every
// object made is writable whole: memory that was not reserved at making killed the writer with
// SIGBUS.
TEST_F(Ipc, AFullSharedMemoryFolderFailsTheMakingAndKillsNoWriter) {
    constexpr int kSkipped = 77;
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", "/dev/shm", "tmpfs", 0, "size=16k") != 0) {
            _exit(kSkipped);
        }
        int made = 0;
        while (made < 8) {
            Handle h = CreateNamedMapping(nullptr, 4096, "MemFull" + std::to_string(made));
            void* view = h != nullptr ? MapViewOfMapping(h, 4096) : nullptr;
            if (view == nullptr) {
                break;
            }
            std::memset(view, 1, 4096);
            ++made;
        }
        _exit(made > 0 && made < 8 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kSkipped) {
        GTEST_SKIP() << "no private mount of the shared-memory folder (needs root)";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

TEST(Kernel, TickCountFollowsAMonotonicClockInMilliseconds) {
    const std::uint32_t before = GetTickCount();
    Sleep(20);
    const auto elapsed = static_cast<std::int32_t>(GetTickCount() - before);
    EXPECT_GE(elapsed, 19);
    EXPECT_LT(elapsed, 1000);
}

TEST(Kernel, OpenFileLimitIsRaisedToTheHardLimit) {
    RaiseOpenFileLimit();
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    EXPECT_EQ(limit.rlim_cur, limit.rlim_max);
    EXPECT_NE(GetModuleFileName().find("platform_tests"), std::string::npos);
}
