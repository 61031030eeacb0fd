#include "platform/Ipc.h"

#include "platform/Kernel.h"

#include <atomic>
#include <cerrno>
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
#include <unistd.h>

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

// What the name stands for now, seen from a descriptor of an object: that object, no object or
// another one, or unknown (the name could not be looked up, e.g. with no descriptor left).
enum class Named { Same, Other, Unknown };

Named NameOf(int fd, const std::string& shmName) {
    const int probe = shm_open(shmName.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (probe < 0) {
        return errno == ENOENT ? Named::Other : Named::Unknown;
    }
    struct stat mine {};
    struct stat named {};
    const bool known = fstat(fd, &mine) == 0 && fstat(probe, &named) == 0;
    close(probe);
    if (!known) {
        return Named::Unknown;
    }
    return mine.st_dev == named.st_dev && mine.st_ino == named.st_ino ? Named::Same : Named::Other;
}

bool SameObject(int fd, const std::string& shmName) {
    return NameOf(fd, shmName) == Named::Same;
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

bool InitialiseMutexes(int fd, std::uint32_t size, const MutexLayout& layout) {
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        return false;
    }
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    bool ok = true;
    for (std::uint32_t i = 0; i < layout.count && ok; ++i) {
        ok = pthread_mutex_init(MutexAt(view, layout.headerSize, i), &attr) == 0;
    }
    pthread_mutexattr_destroy(&attr);
    munmap(view, size);
    return ok;
}

// How an attempt to hold an opened object ended: held, start again (its name was removed or
// taken over meanwhile), or failed.
enum class Hold { Held, Again, Failed };

Hold AgainUnlessSame(int fd, const std::string& shmName) {
    switch (NameOf(fd, shmName)) {
    case Named::Same:
        return Hold::Held;
    case Named::Other:
        return Hold::Again;
    default:
        return Hold::Failed; // never guess: going round again could spin for ever
    }
}

// With the exclusive lock of an object no one else holds (new, or left behind by dead
// processes): zero-fills it to `size` bytes, initialises its mutexes and keeps a shared lock.
Hold Initialise(int fd, const std::string& shmName, std::uint32_t size, const MutexLayout& mutexes,
                mode_t mode) {
    const Hold named = AgainUnlessSame(fd, shmName);
    if (named != Hold::Held) {
        return named;
    }
    fchmod(fd, mode); // fails harmlessly on another user's object
    const bool ok = ftruncate(fd, 0) == 0 && ftruncate(fd, size) == 0 &&
                    (mutexes.count == 0 || InitialiseMutexes(fd, size, mutexes)) &&
                    flock(fd, LOCK_SH) == 0;
    if (!ok) {
        const Hold again = AgainUnlessSame(fd, shmName);
        if (again == Hold::Held) {
            shm_unlink(shmName.c_str()); // half-made: leave nothing behind
        }
        return again == Hold::Again ? Hold::Again : Hold::Failed;
    }
    // Turning the exclusive lock into a shared one lets go of it for a moment, in which a closer
    // or RemoveUnheldObjects may have taken it and removed the name.
    return AgainUnlessSame(fd, shmName);
}

// Joins the holders of an object another process holds: takes a shared lock on it.
Hold Join(int fd, const std::string& shmName, std::uint32_t size) {
    while (flock(fd, LOCK_SH) != 0) {
        if (errno != EINTR) {
            return Hold::Failed;
        }
    }
    const Hold named = AgainUnlessSame(fd, shmName);
    if (named != Hold::Held) {
        return named;
    }
    struct stat st {};
    return fstat(fd, &st) == 0 && st.st_size >= static_cast<off_t>(size) ? Hold::Held
                                                                         : Hold::Failed;
}

// Opens or creates the object and takes the lock that keeps it alive. The first holder
// zero-fills it to `size` bytes and initialises its mutexes. Returns the descriptor or -1.
// Whoever unlinks a name holds the object's exclusive lock, so a holder that checks the name
// after taking its shared lock knows that it holds the named object and not a removed one.
int OpenObject(const std::string& shmName, std::uint32_t size, const MutexLayout& mutexes,
               mode_t mode, bool* alreadyExisted) {
    for (;;) {
        const int fd = shm_open(shmName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, mode);
        if (fd < 0) {
            return -1;
        }
        const bool created = flock(fd, LOCK_EX | LOCK_NB) == 0;
        const Hold hold =
            created ? Initialise(fd, shmName, size, mutexes, mode) : Join(fd, shmName, size);
        if (hold == Hold::Held) {
            if (alreadyExisted != nullptr) {
                *alreadyExisted = !created;
            }
            return fd;
        }
        close(fd);
        if (hold == Hold::Failed) {
            return -1;
        }
    }
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
