// Helpers of the store's tests: a private IPC namespace per test process, event pumping with
// wait-for-condition, direct views of shared blocks, and peer processes driven over pipes.
#pragma once

#include "platform/Ipc.h"

#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace storetest {

// Sets QUILBEX_IPC_NAMESPACE to a value unique to this process (and `tag`).
std::string UseOwnNamespace(const std::string& tag);
// Names of shared-memory objects of the current namespace that exist now.
std::vector<std::string> LeftoverObjects();
// Removes them (after killed peers), returning how many there were.
int RemoveLeftoverObjects();

// Pumps the Qt event loop until `done` holds or `timeoutMs` passes; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);
// Pumps the event loop for `ms` (only where the absence of an event is the point).
void PumpFor(int ms);

// Unaligned element access inside a block (elements start at offset 2).
template <class T> T Load(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof(T));
    return value;
}
template <class T> void Store(std::uint8_t* at, T value) {
    std::memcpy(at, &value, sizeof(T));
}

// A named mapping opened by the test itself, e.g. to look at or damage a block.
class BlockView {
public:
    BlockView(const std::string& name, std::uint32_t size);
    ~BlockView();
    BlockView(const BlockView&) = delete;
    BlockView& operator=(const BlockView&) = delete;
    bool Ok() const { return itsView != nullptr; }
    bool AlreadyExisted() const { return itsExisted; }
    template <class T> T* As() const { return static_cast<T*>(itsView); }
    std::uint8_t* Bytes() const { return static_cast<std::uint8_t*>(itsView); }

private:
    platform::Handle itsMapping = nullptr;
    void* itsView = nullptr;
    bool itsExisted = false;
};

// A running store_peer process, with `environment` ("NAME=value") added to this one's.
class Peer {
public:
    explicit Peer(const std::vector<std::string>& environment = {});
    ~Peer(); // closes its input and waits for it; kills it when it does not end
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // Sends a command and returns its answer line (the first line that is not "change ...").
    std::string Ask(const std::string& command, int timeoutMs = 5000);
    // Sends a command without waiting for its answer; false when it could not be sent.
    bool Send(const std::string& command);
    // Waits for a line starting with `prefix`, pumping this process's events meanwhile;
    // returns the line, or "" on time-out. Lines before it are consumed.
    std::string WaitLine(const std::string& prefix, int timeoutMs = 5000);
    // Whether a line starting with `prefix` has been received (without waiting).
    bool Seen(const std::string& prefix);
    void Drain();
    void Kill();  // SIGKILL, then reap
    bool Ended(); // whether it has ended (reaped then), without waiting
    pid_t Pid() const { return itsPid; }

private:
    void ReadAvailable(int waitMs);

    pid_t itsPid = -1;
    int itsIn = -1;
    int itsOut = -1;
    std::string itsBuffer;
    std::deque<std::string> itsLines;
};

} // namespace storetest
