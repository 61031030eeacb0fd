// Process presence table: every active TIPMonitor with the same BaseName, in any process, holds
// one slot of a small shared table with a heartbeat, so that each can tell how many participants
// (of a given kind) are alive. The user calls DoPoll more often than every 2000 ms.
#pragma once

#include "platform/Ipc.h"
#include "toolkit/Classes.h"

#include <bit>
#include <cstdint>
#include <memory>
#include <string>

class TSecurity;

constexpr int kMonitorSlots = 10;
constexpr std::uint32_t kMonitorTimeoutMs = 2000;

#pragma pack(push, 1)
struct MonitorSlot {
    std::int32_t Id;    // 0: free; else the holder's Id (32768 to 65535)
    std::uint32_t Tick; // tick count of the holder's registration or last heartbeat
    std::int32_t Type;  // the holder's kind
};
// BaseName + "_MON_MEMORY", 124 bytes, guarded by the mutex BaseName + "_MON_MUTEX".
struct MonitorTable {
    std::int32_t LastId; // last Id handed out
    MonitorSlot Slots[kMonitorSlots];
};
#pragma pack(pop)
static_assert(sizeof(MonitorTable) == 124);
static_assert(std::endian::native == std::endian::little); // the table is little-endian

class TIPMonitor : public tk::TComponent {
public:
    explicit TIPMonitor(tk::TComponent* AOwner);
    ~TIPMonitor() override;

    bool GetActive() const { return itsTable != nullptr; }
    void SetActive(bool value);
    const std::string& GetBaseName() const { return itsBaseName; }
    void SetBaseName(const std::string& value);
    int GetType() const { return itsType; }
    void SetType(int value);
    // Used slots as counted at the last register, heartbeat or unregister.
    int GetCount() const { return itsCount; }
    // Id of this instance's slot; 0 while it holds none.
    int GetOwnId() const { return itsOwnId; }

    void DoOpen();
    void DoClose();
    void DoRegister();
    void DoUnregister();
    // The heartbeat: also expires dead slots and recounts. Never waits for the mutex.
    void DoPoll(tk::TObject* Sender);
    // Live number of used slots of kind `type`; -1 when inactive or the mutex is busy.
    int GetCountType(int type);

private:
    void TakeFreeSlot(std::uint32_t now);
    int CountUsed() const;
    bool Acquire(std::uint32_t timeoutMs);

    std::string itsBaseName;
    platform::Handle itsMapping = nullptr;
    MonitorTable* itsTable = nullptr;
    platform::Handle itsMutex = nullptr;
    int itsOwnId = 0;
    int itsType = 0;
    int itsCount = 0;
    std::unique_ptr<TSecurity> itsSecurity;
};
