#include "platform/Ipc.h"

#include "platform/Kernel.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

struct NamedObject {
    int fd = -1;
    std::string shmName;
    pthread_mutex_t* mutex = nullptr; // mapped mutex of a mutex object
};

namespace {

constexpr std::size_t kMaxNameLength = 255; // NAME_MAX of the shared-memory file system

mode_t ModeFor(const SecurityAttributes* attributes) {
    const bool everyone = attributes != nullptr && attributes->Descriptor != nullptr &&
                          attributes->Descriptor->DaclPresent &&
                          attributes->Descriptor->Dacl == nullptr;
    return everyone ? 0666 : 0600;
}

bool SameObject(int fd, const std::string& shmName) {
    const int probe = shm_open(shmName.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (probe < 0) {
        return false;
    }
    struct stat mine {};
    struct stat named {};
    const bool same = fstat(fd, &mine) == 0 && fstat(probe, &named) == 0 &&
                      mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
    close(probe);
    return same;
}

bool InitialiseMutex(int fd) {
    void* view = mmap(nullptr, sizeof(pthread_mutex_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        return false;
    }
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    const bool ok = pthread_mutex_init(static_cast<pthread_mutex_t*>(view), &attr) == 0;
    pthread_mutexattr_destroy(&attr);
    munmap(view, sizeof(pthread_mutex_t));
    return ok;
}

// Opens or creates the object and takes the lock that keeps it alive. The first holder
// zero-fills it to `size` bytes and, for a mutex, initialises the mutex. Returns the descriptor
// or -1.
int OpenObject(const std::string& shmName, std::uint32_t size, bool isMutex, mode_t mode,
               bool* alreadyExisted) {
    for (;;) {
        const int fd = shm_open(shmName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, mode);
        if (fd < 0) {
            return -1;
        }
        bool created = false;
        bool ok = true;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // No one else holds it: it is new, or left behind by dead processes.
            created = true;
            if (SameObject(fd, shmName)) {
                fchmod(fd, mode); // fails harmlessly on another user's object
                ok = ftruncate(fd, 0) == 0 && ftruncate(fd, size) == 0 &&
                     (!isMutex || InitialiseMutex(fd));
                ok = ok && flock(fd, LOCK_SH) == 0;
            } else {
                ok = false;
            }
            if (!ok) {
                if (SameObject(fd, shmName)) {
                    shm_unlink(shmName.c_str()); // half-made: leave nothing behind
                    close(fd);
                    return -1;
                }
                close(fd); // the name was removed by its last holder: start again
                continue;
            }
        } else {
            while (flock(fd, LOCK_SH) != 0) {
                if (errno != EINTR) {
                    close(fd);
                    return -1;
                }
            }
            if (!SameObject(fd, shmName)) {
                close(fd);
                continue;
            }
            struct stat st {};
            ok = fstat(fd, &st) == 0 && st.st_size >= static_cast<off_t>(size);
        }
        if (!ok) {
            close(fd);
            return -1;
        }
        if (alreadyExisted != nullptr) {
            *alreadyExisted = !created;
        }
        return fd;
    }
}

Handle CreateObject(const SecurityAttributes* attributes, std::uint32_t size,
                    const std::string& name, bool isMutex, bool* alreadyExisted) {
    if (alreadyExisted != nullptr) {
        *alreadyExisted = false;
    }
    const std::string shmName = SharedMemoryName(name);
    if (name.empty() || size == 0 || shmName.size() - 1 > kMaxNameLength ||
        shmName.find('/', 1) != std::string::npos) {
        return nullptr;
    }
    RaiseOpenFileLimit();
    const int fd = OpenObject(shmName, size, isMutex, ModeFor(attributes), alreadyExisted);
    if (fd < 0) {
        return nullptr;
    }
    auto* object = new NamedObject{fd, shmName, nullptr};
    if (isMutex) {
        void* view =
            mmap(nullptr, sizeof(pthread_mutex_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (view == MAP_FAILED) {
            CloseNamedHandle(object);
            return nullptr;
        }
        object->mutex = static_cast<pthread_mutex_t*>(view);
    }
    return object;
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
    return CreateObject(attributes, size, name, false, alreadyExisted);
}

void* MapViewOfMapping(Handle mapping, std::uint32_t size) {
    if (mapping == nullptr || mapping->mutex != nullptr || size == 0) {
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
    return CreateObject(attributes, sizeof(pthread_mutex_t), name, true, alreadyExisted);
}

std::uint32_t WaitForNamedMutex(Handle mutex, std::uint32_t timeoutMs) {
    if (mutex == nullptr || mutex->mutex == nullptr) {
        return kWaitFailed;
    }
    // Most waits find the mutex free: try first, and read the clock only when it is not.
    int result = pthread_mutex_trylock(mutex->mutex);
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
            result = pthread_mutex_clocklock(mutex->mutex, CLOCK_MONOTONIC, &deadline);
        } while (result == EINTR);
    }
    switch (result) {
    case 0:
        return kWaitObject0;
    case EOWNERDEAD:
        // The owner died holding it: repair it so it is released normally and never poisons
        // the other holders.
        pthread_mutex_consistent(mutex->mutex);
        return kWaitAbandoned;
    case EBUSY:
    case ETIMEDOUT:
        return kWaitTimeout;
    default:
        return kWaitFailed;
    }
}

bool ReleaseNamedMutex(Handle mutex) {
    return mutex != nullptr && mutex->mutex != nullptr && pthread_mutex_unlock(mutex->mutex) == 0;
}

bool CloseNamedHandle(Handle object) {
    if (object == nullptr) {
        return false;
    }
    if (object->mutex != nullptr) {
        munmap(object->mutex, sizeof(pthread_mutex_t));
    }
    // The last holder removes the name, so nothing is left behind.
    if (flock(object->fd, LOCK_EX | LOCK_NB) == 0 && SameObject(object->fd, object->shmName)) {
        shm_unlink(object->shmName.c_str());
    }
    close(object->fd);
    delete object;
    return true;
}

} // namespace platform
