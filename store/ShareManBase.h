// The group manager of the shared variable store: one per process. It knows every shared
// variable of the process, opens the group block with its change ring, takes the master or the
// slave role, runs the poll thread while active and delivers change and poll events on the
// user-interface thread.
#pragma once

#include "platform/Ipc.h"
#include "toolkit/Classes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tk {
class TMemIniFile;
}
class TShareVarBase;
class TSecurity;
class TIPThread;

// Event with the sender and a variable ID.
using TMonitorEvent = std::function<void(tk::TObject* Sender, int ID)>;

constexpr int kRingSize = 1024;
constexpr int kSlaveSlots = 255; // as many as SlaveCount can count

#pragma pack(push, 1)
// The group's shared block, "Mem" + group name, 1032 bytes, little-endian.
struct ShareGroupBlock {
    std::uint8_t MasterCount;    // 1 while a master manager is active
    std::uint8_t SlaveCount;     // number of active slave managers
    std::uint8_t Reserved[2];    // never written
    std::int32_t RingWriteIndex; // next ChangeRing slot to write
    std::uint8_t ChangeRing[kRingSize];
};
#pragma pack(pop)
static_assert(sizeof(ShareGroupBlock) == 1032);

#pragma pack(push, 1)
// Header of the group's slave slot table, "Slv" + group name: 264 bytes, then kSlaveSlots robust
// process-shared mutexes, slot i at offset 264 + i * sizeof(pthread_mutex_t) (the layout of
// platform::CreateNamedMutexTable). An active slave holds the mutex of its slot, so a slave that
// dies leaves its slot abandoned, and the one poller whose try reports that uncounts it.
// SlaveCount is the number of slots flagged Counted. All fields are written under the group
// mutex, but for the flag of a slave that leaves while the group mutex times out: it turns its
// own flag from counted to left and lets its slot go, and whoever takes the slot next uncounts
// it under the group mutex.
struct ShareSlaveSlots {
    std::uint8_t HighWater; // slots below it have been claimed since the table was made; pollers
                            // try only those
    std::uint8_t Reserved[7];
    std::uint8_t Counted[kSlaveSlots]; // kSlotCounted while the slot's holder is counted in
                                       // SlaveCount; kSlotLeft once it left still counted
    std::uint8_t Pad;
};
#pragma pack(pop)
static_assert(sizeof(ShareSlaveSlots) == 264);
constexpr std::uint8_t kSlotCounted = 1;
constexpr std::uint8_t kSlotLeft = 2;

class TShareManBase : public tk::TObject {
public:
    // The process's manager, created on first use.
    static TShareManBase* GetShareManBase();
    ~TShareManBase() override;

    std::string GetGrpName() const { return itsGrpName; }
    void SetGrpName(const std::string& value);
    bool GetMaster() const { return itsMaster; }
    void SetMaster(bool value);
    bool GetActive() const { return itsPollThread != nullptr; }
    // Activating raises std::system_error when the poll thread cannot be started; the store then
    // stays inactive with nothing opened.
    void SetActive(bool value);
    int GetRegisterCount() const { return static_cast<int>(itsRegistry.size()); }
    bool GetDirty() const { return itsDirty; }
    void SetDirty(bool value) { itsDirty = value; }
    unsigned long GetInterval() const { return itsInterval; }
    void SetInterval(unsigned long value);
    int GetMasterCount() const;
    int GetSlaveCount() const;
    // The first registered variable that the active store could not map (its shared objects
    // failed to open, e.g. at the open-file limit); null when every one is mapped or inactive.
    TShareVarBase* FindUnmapped() const;
    // The name of the master proof or the slave slot table when the active store could not open
    // it (e.g. past a file-size limit): it then works on, but cannot tell a dead master or slave
    // from a live one. Empty when both are open or the store is inactive.
    std::string FindUnopened() const;
    std::string GetFileName() const { return itsFileName; }
    void SetFileName(const std::string& value) { itsFileName = value; }
    TMonitorEvent GetOnMonitor() const { return itsOnMonitor; }
    void SetOnMonitor(const TMonitorEvent& value) { itsOnMonitor = value; }

    void DoRegisterAdd(TShareVarBase* variable);
    void DoRegisterRemove(TShareVarBase* variable);
    // Announces a write of `variable` in the change ring; anything but a shared variable is
    // ignored.
    void DoSignalChange(tk::TObject* variable);
    void DoSignalChange(TShareVarBase* variable);
    void DoSignalActiveChange();
    void DoSignalMasterChange();
    // The poll tick, run on the user-interface thread.
    void DoPoll(tk::TObject* Sender);

    // INI persistence of the registered variables.
    void LoadIni();
    void SaveIni();
    int TestIni();
    void LoadIni(tk::TMemIniFile* ini);
    void SaveIni(tk::TMemIniFile* ini);
    int TestIni(tk::TMemIniFile* ini);
    void SaveAll(const std::string& fileName);
    void SaveAll(tk::TMemIniFile* ini);

private:
    TShareManBase();

    bool DoOpen();
    void DoActivateMaster();
    void DoActivateSlave();
    void DoDeactivate();
    void DoPoll1();
    void DoPoll2();
    void DoInitLookUpTable();
    void DoClose();
    bool LockGroup();
    void UnlockGroup(bool held);
    std::int32_t BlockWriteIndex() const;
    bool IsRegistered(const TShareVarBase* variable) const;
    bool StillRegistered(const TShareVarBase* variable, std::uint64_t version) const;
    void ForEachRegistered(void (TShareVarBase::*signal)());
    void DoClearDeadMaster();
    void DoTakeMasterLock();
    ShareSlaveSlots* Slots() const;
    void DoCountSlave();
    void DoFinishJoin();
    void DoRetryJoin();
    void DoUncountSlave();
    void DoLeaveUnlocked();
    void DoLeaveSlot(int slot);
    bool IsGoneSlave(int slot, std::uint32_t result) const;
    void DoReleaseSlot(int slot);
    void DoRecountSlaves();
    int DoClaimSlot();
    void DoReapDeadSlaves();
    void DoUncountKeptDeadSlaves(bool held);
    void DoUncountDeadSlave(int slot);
    void DoRemoveOrphans();

    std::string itsGrpName = "Grp";
    bool itsMaster = false;
    std::vector<TShareVarBase*> itsRegistry;
    bool itsDirty = false;
    ShareGroupBlock* itsBlock = nullptr;
    std::int32_t itsRingReadIndex = 0;
    std::array<std::uint8_t, kRingSize> itsRingCopy{};
    platform::Handle itsMutex = nullptr;
    platform::Handle itsMapping = nullptr;
    void* itsView = nullptr;
    std::unique_ptr<TSecurity> itsSecurity;
    std::unique_ptr<TIPThread> itsPollThread;
    unsigned long itsInterval = 50;
    std::string itsFileName = "KX3.INI";
    TMonitorEvent itsOnMonitor;
    std::array<std::vector<TShareVarBase*>, 256> itsLookUpTable;
    bool itsLookUpDirty = false;
    // "Mst" + group name: held by the active master, so that its death can be proven.
    platform::Handle itsMasterMutex = nullptr;
    bool itsMasterLockHeld = false;
    // "Slv" + group name, and the slot this process holds in it as an active slave (-1: none).
    platform::Handle itsSlots = nullptr;
    int itsSlot = -1;
    bool itsCounted = false; // this slave is counted in SlaveCount
    // Set at activation until this slave is counted; still set when the group mutex timed out
    // then, for a later poll to count it.
    bool itsJoinPending = false;
    // Slots of dead slaves taken over by the reaper whose uncount waits for the group mutex.
    std::vector<int> itsDeadSlots;
    bool itsKeepSlots = false; // another thread still holds a slot: keep the table mapped
    // Guards against handlers that delete the manager, change the registry or (de)activate
    // while a poll dispatches events.
    std::shared_ptr<bool> itsAlive = std::make_shared<bool>(true);
    std::uint64_t itsRegistryVersion = 0;
    std::uint64_t itsActivation = 0;

    static TShareManBase* itsInst;
};
