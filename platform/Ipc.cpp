#include "platform/Ipc.h"

#include "platform/Kernel.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <pthread.h>
#include <string_view>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {

struct NamedObject {
    int fd = -1;
    std::string shmName;
    void* table = nullptr; // mapped header and mutexes of a mutex object; null for a mapping
    std::size_t tableLength = 0;
    std::uint32_t headerSize = 0;
    std::uint32_t count = 0;
};

namespace {

constexpr std::size_t kMaxNameLength = 255; // NAME_MAX of the shared-memory file system

mode_t ModeFor(const SecurityAttributes* attributes) {
    const bool everyone = attributes != nullptr && attributes->Descriptor != nullptr &&
                          attributes->Descriptor->DaclPresent &&
                          attributes->Descriptor->Dacl == nullptr;
    return everyone ? 0666 : 0600;
}

// No wait for another process, to open an object, lasts longer than this.
constexpr std::chrono::milliseconds kOpenTimeout{1000};
constexpr std::chrono::milliseconds kRetryPause{1};
using Clock = std::chrono::steady_clock;

// The object's path in the shared-memory file system, where shm_open finds it.
std::string PathOf(const std::string& shmName) {
    return "/dev/shm" + shmName;
}

// Whether the name stands for the object of `fd` now. It needs no descriptor of its own, so the
// answer holds at the open-file limit too; a name that is gone stands for no object.
bool SameObject(int fd, const std::string& shmName) {
    struct stat mine {};
    struct stat named {};
    return fstat(fd, &mine) == 0 && stat(PathOf(shmName).c_str(), &named) == 0 &&
           mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
}

std::atomic<void (*)()> gCreationHook{nullptr};

void CountCreation() {
    if (void (*hook)() = gCreationHook.load(std::memory_order_relaxed)) {
        hook();
    }
}

// Mutexes of a table: count robust mutexes after a header of headerSize bytes.
struct MutexLayout {
    std::uint32_t headerSize = 0;
    std::uint32_t count = 0;
};

pthread_mutex_t* MutexAt(void* table, std::uint32_t headerSize, std::uint32_t index) {
    return reinterpret_cast<pthread_mutex_t*>(static_cast<std::uint8_t*>(table) + headerSize) +
           index;
}

// Initialises the mutexes of an object's contents at `base`.
bool InitialiseMutexes(void* base, const MutexLayout& layout) {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    bool ok = true;
    for (std::uint32_t i = 0; i < layout.count && ok; ++i) {
        ok = pthread_mutex_init(MutexAt(base, layout.headerSize, i), &attr) == 0;
    }
    pthread_mutexattr_destroy(&attr);
    return ok;
}

bool InitialiseMutexes(int fd, std::uint32_t size, const MutexLayout& layout) {
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        return false;
    }
    const bool ok = InitialiseMutexes(view, layout);
    munmap(view, size);
    return ok;
}

// A name for an object being made: unique to this process and call, and beginning like its
// final name (as far as the name length allows), so that a removal by prefix also takes an
// object whose maker died half-way.
std::string MakingName(const std::string& shmName) {
    static std::atomic<unsigned> made{0};
    const std::string suffix = "~" + std::to_string(getpid()) + "~" + std::to_string(made++);
    return shmName.substr(0, kMaxNameLength + 1 - suffix.size()) + suffix;
}

// Makes a complete object under the making name: zero-filled to `size` bytes, its mutexes
// initialised, its shared lock taken from the start. Its memory is reserved at once, so that a
// full shared-memory folder fails the making instead of killing a process (SIGBUS) at a later
// write into a view. Returns the descriptor, or -1 with nothing left behind.
int MakeHidden(const std::string& making, std::uint32_t size, const MutexLayout& mutexes,
               mode_t mode) {
    const int fd = shm_open(making.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        return -1;
    }
    bool ok = fchmod(fd, mode) == 0 && flock(fd, LOCK_SH) == 0 && posix_fallocate(fd, 0, size) == 0;
    if (ok) {
        CountCreation();
        ok = mutexes.count == 0 || InitialiseMutexes(fd, size, mutexes);
    }
    if (!ok) {
        shm_unlink(making.c_str());
        close(fd);
        return -1;
    }
    return fd;
}

// How an attempt to hold an object ended: held (joined), made (new, or made anew), start again
// (its name was removed, taken over or is now free), or failed.
enum class Hold { Held, Made, Again, Failed };

// Gives a made object its name, at once and whole. A name that exists is never replaced: another
// process made its object first, or one is left behind; either is opened on the next round. A
// remover that took the making name meanwhile (the lock came a moment after it) costs a round.
Hold Publish(const std::string& making, const std::string& shmName) {
    if (renameat2(AT_FDCWD, PathOf(making).c_str(), AT_FDCWD, PathOf(shmName).c_str(),
                  RENAME_NOREPLACE) == 0) {
        return Hold::Made;
    }
    const bool again = errno == EEXIST || errno == ENOENT;
    shm_unlink(making.c_str());
    return again ? Hold::Again : Hold::Failed;
}

// Takes a shared lock on an object by the deadline. Only a process that removes the object's
// name holds its exclusive lock, and only for a moment, unless that process is stopped.
bool LockShared(int fd, Clock::time_point deadline) {
    while (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kRetryPause);
    }
    return true;
}

// Makes anew, in place and under its exclusive lock, an object left by dead processes whose name
// this process may not remove (another user's, in the sticky shared-memory folder). Its size
// shows when it is whole: it is emptied, then written whole in one write, so a joiner that meets
// it half-made (its maker died) finds it too small and fails, and the next opener makes it again.
Hold MakeInPlace(int fd, const std::string& shmName, std::uint32_t size,
                 const MutexLayout& mutexes) {
    if (ftruncate(fd, 0) != 0) {
        return Hold::Failed;
    }
    CountCreation();
    std::vector<std::uint8_t> contents(size);
    if (!InitialiseMutexes(contents.data(), mutexes) ||
        pwrite(fd, contents.data(), size, 0) != static_cast<ssize_t>(size) ||
        flock(fd, LOCK_SH) != 0) {
        return Hold::Failed;
    }
    // Turning the exclusive lock into a shared one lets go of it for a moment, in which a
    // remover may have taken it and removed the name.
    return SameObject(fd, shmName) ? Hold::Made : Hold::Again;
}

// Joins the holders of an object opened by its name. One that nobody holds (its exclusive lock
// is free) was left by dead processes: it is never used as it is; its name is removed, so that
// a new object is made, or where that is not allowed it is made anew in place.
Hold Join(int fd, const std::string& shmName, std::uint32_t size, const MutexLayout& mutexes,
          Clock::time_point deadline) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (!SameObject(fd, shmName) || shm_unlink(shmName.c_str()) == 0 ||
            (errno != EPERM && errno != EACCES)) {
            return Hold::Again;
        }
        return MakeInPlace(fd, shmName, size, mutexes);
    }
    if (!LockShared(fd, deadline)) {
        return Hold::Failed;
    }
    if (!SameObject(fd, shmName)) {
        return Hold::Again;
    }
    struct stat st {};
    return fstat(fd, &st) == 0 && st.st_size >= static_cast<off_t>(size) ? Hold::Held
                                                                         : Hold::Failed;
}

// Opens the named object or makes it, and takes the shared lock that keeps it alive. An object
// is made whole before it gets its name, so no process ever sees one half-made, and whoever
// removes a name holds the object's exclusive lock, so a holder that checks the name after
// taking its shared lock knows that it holds the named object and not a removed one. Returns
// the descriptor or -1, within kOpenTimeout.
int OpenObject(const std::string& shmName, std::uint32_t size, const MutexLayout& mutexes,
               mode_t mode, bool* alreadyExisted) {
    const Clock::time_point deadline = Clock::now() + kOpenTimeout;
    do {
        const int named = shm_open(shmName.c_str(), O_RDWR | O_CLOEXEC, 0);
        const bool joining = named >= 0;
        if (!joining && errno != ENOENT) {
            return -1;
        }
        const std::string making = joining ? std::string() : MakingName(shmName);
        const int fd = joining ? named : MakeHidden(making, size, mutexes, mode);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue; // a making name left by a dead process of the same id: take another
            }
            return -1;
        }
        const Hold hold =
            joining ? Join(fd, shmName, size, mutexes, deadline) : Publish(making, shmName);
        if (hold == Hold::Held || hold == Hold::Made) {
            if (alreadyExisted != nullptr) {
                *alreadyExisted = hold == Hold::Held;
            }
            return fd;
        }
        close(fd);
        if (hold == Hold::Failed) {
            return -1;
        }
    } while (Clock::now() < deadline);
    return -1;
}

Handle CreateObject(const SecurityAttributes* attributes, std::uint32_t size,
                    const std::string& name, const MutexLayout& mutexes, bool* alreadyExisted) {
    if (alreadyExisted != nullptr) {
        *alreadyExisted = false;
    }
    const std::string shmName = SharedMemoryName(name);
    if (name.empty() || size == 0 || shmName.size() - 1 > kMaxNameLength ||
        shmName.find('/', 1) != std::string::npos) {
        return nullptr;
    }
    RaiseOpenFileLimit();
    const int fd = OpenObject(shmName, size, mutexes, ModeFor(attributes), alreadyExisted);
    if (fd < 0) {
        return nullptr;
    }
    auto* object = new NamedObject{fd, shmName};
    if (mutexes.count != 0) {
        void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (view == MAP_FAILED) {
            CloseNamedHandle(object);
            return nullptr;
        }
        object->table = view;
        object->tableLength = size;
        object->headerSize = mutexes.headerSize;
        object->count = mutexes.count;
    }
    return object;
}

std::atomic<void (*)()> gAcquisitionHook{nullptr};

void CountAcquisition() {
    if (void (*hook)() = gAcquisitionHook.load(std::memory_order_relaxed)) {
        hook();
    }
}

// Views handed out by MapViewOfMapping, with their lengths.
std::mutex gViewsLock;
std::map<void*, std::size_t> gViews;

} // namespace

bool InitializeSecurityDescriptor(SecurityDescriptor* descriptor, std::uint32_t revision) {
    if (descriptor == nullptr || revision != kSecurityDescriptorRevision) {
        return false;
    }
    *descriptor = SecurityDescriptor{};
    descriptor->Revision = revision;
    return true;
}

bool SetSecurityDescriptorDacl(SecurityDescriptor* descriptor, bool daclPresent, const void* dacl,
                               bool daclDefaulted) {
    if (descriptor == nullptr || descriptor->Revision != kSecurityDescriptorRevision) {
        return false;
    }
    descriptor->DaclPresent = daclPresent;
    descriptor->Dacl = dacl;
    descriptor->DaclDefaulted = daclDefaulted;
    return true;
}

void SetAcquisitionHook(void (*hook)()) {
    gAcquisitionHook.store(hook);
}

void SetCreationHook(void (*hook)()) {
    gCreationHook.store(hook);
}

std::string SharedMemoryName(const std::string& name) {
    const char* prefix = std::getenv("QUILBEX_IPC_NAMESPACE");
    std::string result("/");
    if (prefix != nullptr) {
        result.append(prefix);
    }
    result.append(name);
    return result;
}

Handle CreateNamedMapping(const SecurityAttributes* attributes, std::uint32_t size,
                          const std::string& name, bool* alreadyExisted) {
    return CreateObject(attributes, size, name, MutexLayout{}, alreadyExisted);
}

void* MapViewOfMapping(Handle mapping, std::uint32_t size) {
    if (mapping == nullptr || mapping->table != nullptr || size == 0) {
        return nullptr;
    }
    struct stat st {};
    if (fstat(mapping->fd, &st) != 0 || st.st_size < static_cast<off_t>(size)) {
        return nullptr;
    }
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, mapping->fd, 0);
    if (view == MAP_FAILED) {
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(gViewsLock);
    gViews[view] = size;
    return view;
}

bool UnmapViewOfMapping(void* view) {
    std::size_t length = 0;
    {
        std::lock_guard<std::mutex> guard(gViewsLock);
        auto it = gViews.find(view);
        if (it == gViews.end()) {
            return false;
        }
        length = it->second;
        gViews.erase(it);
    }
    return munmap(view, length) == 0;
}

Handle CreateNamedMutex(const SecurityAttributes* attributes, const std::string& name,
                        bool* alreadyExisted) {
    return CreateNamedMutexTable(attributes, name, 0, 1, alreadyExisted);
}

Handle CreateNamedMutexTable(const SecurityAttributes* attributes, const std::string& name,
                             std::uint32_t headerSize, std::uint32_t count, bool* alreadyExisted) {
    constexpr std::uint64_t kMaxSize = 1U << 24;
    const std::uint64_t size = headerSize + std::uint64_t{count} * sizeof(pthread_mutex_t);
    if (count == 0 || headerSize % 8 != 0 || size > kMaxSize) {
        if (alreadyExisted != nullptr) {
            *alreadyExisted = false;
        }
        return nullptr;
    }
    return CreateObject(attributes, static_cast<std::uint32_t>(size), name,
                        MutexLayout{headerSize, count}, alreadyExisted);
}

void* MutexTableHeader(Handle table) {
    return table != nullptr && table->table != nullptr && table->headerSize != 0 ? table->table
                                                                                 : nullptr;
}

std::uint32_t WaitForNamedMutex(Handle mutex, std::uint32_t timeoutMs) {
    return WaitForNamedMutexAt(mutex, 0, timeoutMs);
}

std::uint32_t WaitForNamedMutexAt(Handle table, std::uint32_t index, std::uint32_t timeoutMs) {
    if (table == nullptr || table->table == nullptr || index >= table->count) {
        return kWaitFailed;
    }
    pthread_mutex_t* mutex = MutexAt(table->table, table->headerSize, index);
    // Most waits find the mutex free: try first, and read the clock only when it is not.
    int result = pthread_mutex_trylock(mutex);
    if (result == EBUSY && timeoutMs != 0) {
        timespec deadline{};
        clock_gettime(CLOCK_MONOTONIC, &deadline);
        deadline.tv_sec += static_cast<time_t>(timeoutMs / 1000);
        deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L) {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000L;
        }
        do {
            result = pthread_mutex_clocklock(mutex, CLOCK_MONOTONIC, &deadline);
        } while (result == EINTR);
    }
    switch (result) {
    case 0:
        CountAcquisition();
        return kWaitObject0;
    case EOWNERDEAD:
        // The owner died holding it: repair it so it is released normally and never poisons
        // the other holders.
        pthread_mutex_consistent(mutex);
        CountAcquisition();
        return kWaitAbandoned;
    case EBUSY:
    case ETIMEDOUT:
        return kWaitTimeout;
    default:
        return kWaitFailed;
    }
}

bool ReleaseNamedMutex(Handle mutex) {
    return ReleaseNamedMutexAt(mutex, 0);
}

bool ReleaseNamedMutexAt(Handle table, std::uint32_t index) {
    return table != nullptr && table->table != nullptr && index < table->count &&
           pthread_mutex_unlock(MutexAt(table->table, table->headerSize, index)) == 0;
}

bool CloseNamedHandle(Handle object) {
    if (object == nullptr) {
        return false;
    }
    if (object->table != nullptr) {
        munmap(object->table, object->tableLength);
    }
    // The last holder removes the name, so nothing is left behind.
    if (flock(object->fd, LOCK_EX | LOCK_NB) == 0 && SameObject(object->fd, object->shmName)) {
        shm_unlink(object->shmName.c_str());
    }
    close(object->fd);
    delete object;
    return true;
}

int RemoveUnheldObjects(const std::string& prefix) {
    DIR* dir = prefix.empty() ? nullptr : opendir("/dev/shm");
    if (dir == nullptr) {
        return 0;
    }
    const std::string entryPrefix = SharedMemoryName(prefix).substr(1);
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string shmName = std::string("/") + entry->d_name;
        if (std::string_view(entry->d_name).substr(0, entryPrefix.size()) != entryPrefix) {
            continue;
        }
        const int fd = shm_open(shmName.c_str(), O_RDONLY | O_CLOEXEC, 0);
        if (fd < 0) {
            continue;
        }
        // Held by nobody: the exclusive lock is free. It stays taken until the name is gone.
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && SameObject(fd, shmName) &&
            shm_unlink(shmName.c_str()) == 0) {
            ++removed;
        }
        close(fd);
    }
    closedir(dir);
    return removed;
}

} // namespace platform
