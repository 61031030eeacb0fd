// Named kernel objects shared between processes: file mappings and mutexes that behave like the
// Windows objects the store was designed for, built on POSIX shared memory.
//
// A named object N is the shared-memory object "/" + P + N, where P is the environment variable
// QUILBEX_IPC_NAMESPACE (empty when unset), so that parallel test runs never meet each other or a
// running system. An object lives while any process holds it open: every holder keeps a shared
// flock on it, and the last holder to close removes the name. An object is made whole (zero-filled,
// its mutexes initialised) under a making name of its own that begins like its name, and is then
// renamed into place without replacing anything, so no process ever opens one half-made; the loser
// of a race opens the winner's. A crashed process drops its locks, so an object that dead
// processes left behind is removed by the next opener, which makes a new one, or, like a making
// name whose maker died, by RemoveUnheldObjects. No opening waits for another process longer
// than 1000 ms.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Security descriptor: only the part the store uses, a (possibly null) access list.
struct SecurityDescriptor {
    std::uint32_t Revision = 0;
    bool DaclPresent = false;
    bool DaclDefaulted = false;
    const void* Dacl = nullptr; // null with DaclPresent: everyone has every access
};

// Creation attributes of a named object. A null access list stands for "everyone has every
// access" and gives permissions 0666; anything else, and null attributes, give 0600.
// InheritHandle is carried for the callers' sake but not applied: descriptors are always
// close-on-exec, because the system never hands objects to child processes.
struct SecurityAttributes {
    std::uint32_t Length = sizeof(SecurityAttributes);
    SecurityDescriptor* Descriptor = nullptr;
    bool InheritHandle = false;
};

constexpr std::uint32_t kSecurityDescriptorRevision = 1;

// Stand-in for InitializeSecurityDescriptor: empty descriptor of the given revision.
bool InitializeSecurityDescriptor(SecurityDescriptor* descriptor, std::uint32_t revision);
// Stand-in for SetSecurityDescriptorDacl.
bool SetSecurityDescriptorDacl(SecurityDescriptor* descriptor, bool daclPresent, const void* dacl,
                               bool daclDefaulted);

// An open named object; null means "no handle".
struct NamedObject;
using Handle = NamedObject*;

// Results of WaitForNamedMutex, with the values of the Windows wait results.
constexpr std::uint32_t kWaitObject0 = 0;
constexpr std::uint32_t kWaitAbandoned = 0x80; // previous owner died; now owned and consistent
constexpr std::uint32_t kWaitTimeout = 258;
constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;

// Stand-in for CreateFileMappingA on the paging file: creates or opens the named object of
// exactly `size` bytes (zero-filled when created). Fails (null) for a name POSIX cannot take,
// for size 0, when an existing object is smaller than `size`, or when the object cannot be held
// within 1000 ms (a process that removes its name is stopped). `alreadyExisted`, when given,
// is set like ERROR_ALREADY_EXISTS: another process (or handle) already held the object.
Handle CreateNamedMapping(const SecurityAttributes* attributes, std::uint32_t size,
                          const std::string& name, bool* alreadyExisted = nullptr);

// Stand-in for MapViewOfFile with FILE_MAP_WRITE: maps the first `size` bytes of a mapping
// read/write and shared. Null on failure (no mapping handle, size 0 or larger than the object).
void* MapViewOfMapping(Handle mapping, std::uint32_t size);

// Stand-in for UnmapViewOfFile: unmaps a view returned by MapViewOfMapping.
bool UnmapViewOfMapping(void* view);

// Stand-in for CreateMutexA (never initially owned): creates or opens a named mutex that is
// process-shared, robust and recursive for its owning thread.
Handle CreateNamedMutex(const SecurityAttributes* attributes, const std::string& name,
                        bool* alreadyExisted = nullptr);

// Creates or opens a named table of `count` mutexes like those of CreateNamedMutex behind a
// header of `headerSize` bytes (a multiple of 8), zero-filled when created. Layout, the same in
// every process of one machine: the header at offset 0, then mutex i at offset
// headerSize + i * sizeof(pthread_mutex_t). A named mutex is such a table of one without a header.
Handle CreateNamedMutexTable(const SecurityAttributes* attributes, const std::string& name,
                             std::uint32_t headerSize, std::uint32_t count,
                             bool* alreadyExisted = nullptr);

// The header of a mutex table, mapped read/write and shared; null without one.
void* MutexTableHeader(Handle table);

// Stand-in for WaitForSingleObject on a mutex, with a monotonic deadline `timeoutMs` from now
// (0: try without waiting). Returns kWaitObject0, kWaitTimeout, kWaitAbandoned (the previous
// owner died holding it: the mutex was made consistent and is now owned like kWaitObject0) or
// kWaitFailed (not owned). The robust mutex reports a dead owner to exactly one waiter.
std::uint32_t WaitForNamedMutex(Handle mutex, std::uint32_t timeoutMs);
// The same for mutex `index` of a table (kWaitFailed outside it).
std::uint32_t WaitForNamedMutexAt(Handle table, std::uint32_t index, std::uint32_t timeoutMs);

// Installs a function called right after every acquisition by WaitForNamedMutex(At) in this
// process (null: none, the default). Tests use it to end or stop a process at a chosen step of
// its locked updates.
void SetAcquisitionHook(void (*hook)());

// Installs a function called each time this process has given an object it makes its size (or
// emptied one to make it anew), before filling it and before other processes can use it (null:
// none, the default). Tests use it to end or stop a maker half-way through making an object.
void SetCreationHook(void (*hook)());

// Stand-in for ReleaseMutex: releases one level of ownership held by the calling thread.
bool ReleaseNamedMutex(Handle mutex);
bool ReleaseNamedMutexAt(Handle table, std::uint32_t index);

// Stand-in for CloseHandle on a mapping or mutex. The last holder of an object removes its name.
bool CloseNamedHandle(Handle object);

// The shared-memory name ("/" + namespace + name) an object name stands for.
std::string SharedMemoryName(const std::string& name);

// Removes every object of the namespace whose name starts with `prefix` (making names included)
// and that no live process holds (its exclusive lock can be taken at once), unlinking it while
// holding that lock so that an opener racing the removal goes round again and never keeps the
// unlinked object. Returns how many were removed.
int RemoveUnheldObjects(const std::string& prefix);

} // namespace platform
