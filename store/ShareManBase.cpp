#include "store/ShareManBase.h"

#include "store/IPThread.h"
#include "store/Security.h"
#include "store/ShareVarBase.h"
#include "toolkit/IniFiles.h"

#include <algorithm>
#include <cstring>
#include <iterator>

TShareManBase* TShareManBase::itsInst = nullptr;

namespace {
constexpr std::uint32_t kLockTimeoutMs = 1000;
constexpr std::uint32_t kFirstTickMs = 100;
constexpr unsigned long kIdleIntervalMs = 1000;
constexpr unsigned long kMinIntervalMs = 10;
constexpr unsigned long kMaxIntervalMs = 1000;

// Keeps a slot table whose slot another thread of this process still holds mapped while the
// process lives, because that thread's robust list points into it.
void KeepSlotTable(platform::Handle table) {
    static auto* kept = new std::vector<platform::Handle>();
    kept->push_back(table);
}
} // namespace

TShareManBase* TShareManBase::GetShareManBase() {
    if (itsInst == nullptr) {
        itsInst = new TShareManBase();
    }
    return itsInst;
}

TShareManBase::TShareManBase() : itsSecurity(std::make_unique<TSecurity>()) {}

TShareManBase::~TShareManBase() {
    itsOnMonitor = nullptr;
    SetActive(false);
    *itsAlive = false;
    if (itsInst == this) {
        itsInst = nullptr;
    }
}

// --- properties ----------------------------------------------------------------------------

void TShareManBase::SetGrpName(const std::string& value) {
    if (!GetActive()) {
        itsGrpName = value;
    }
}

void TShareManBase::SetMaster(bool value) {
    if (GetActive() || value == itsMaster) {
        return;
    }
    itsMaster = value;
    DoSignalMasterChange();
}

void TShareManBase::SetInterval(unsigned long value) {
    itsInterval = std::clamp(value, kMinIntervalMs, kMaxIntervalMs);
}

int TShareManBase::GetMasterCount() const {
    return itsBlock != nullptr ? itsBlock->MasterCount : 0;
}

int TShareManBase::GetSlaveCount() const {
    return itsBlock != nullptr ? itsBlock->SlaveCount : 0;
}

TShareVarBase* TShareManBase::FindUnmapped() const {
    if (!GetActive()) {
        return nullptr;
    }
    const auto dead =
        std::find_if(itsRegistry.begin(), itsRegistry.end(),
                     [](const TShareVarBase* variable) { return !variable->GetMapped(); });
    return dead != itsRegistry.end() ? *dead : nullptr;
}

std::string TShareManBase::FindUnopened() const {
    if (!GetActive()) {
        return {};
    }
    if (itsMasterMutex == nullptr) {
        return "Mst" + itsGrpName;
    }
    return itsSlots == nullptr ? "Slv" + itsGrpName : std::string();
}

// --- registry ------------------------------------------------------------------------------

bool TShareManBase::IsRegistered(const TShareVarBase* variable) const {
    return std::find(itsRegistry.begin(), itsRegistry.end(), variable) != itsRegistry.end();
}

// True when `variable`, taken from a list built at registry version `version`, may still be
// called: only a changed registry needs the search.
bool TShareManBase::StillRegistered(const TShareVarBase* variable, std::uint64_t version) const {
    return version == itsRegistryVersion || IsRegistered(variable);
}

void TShareManBase::DoRegisterAdd(TShareVarBase* variable) {
    if (GetActive() || variable == nullptr || IsRegistered(variable)) {
        return;
    }
    itsRegistry.push_back(variable);
    ++itsRegistryVersion;
}

void TShareManBase::DoRegisterRemove(TShareVarBase* variable) {
    itsRegistry.erase(std::remove(itsRegistry.begin(), itsRegistry.end(), variable),
                      itsRegistry.end());
    ++itsRegistryVersion;
    if (GetActive()) {
        itsLookUpDirty = true;
    }
    if (itsRegistry.empty()) {
        delete this;
    }
}

void TShareManBase::DoSignalActiveChange() {
    ForEachRegistered(&TShareVarBase::DoSignalActiveChange);
}

void TShareManBase::DoSignalMasterChange() {
    ForEachRegistered(&TShareVarBase::DoSignalMasterChange);
}

// Calls signal on every registered variable in registry order. A handler may unregister
// variables or delete the manager itself, so the walk runs over a snapshot and skips whatever
// left the registry meanwhile.
void TShareManBase::ForEachRegistered(void (TShareVarBase::*signal)()) {
    const auto alive = itsAlive;
    const std::uint64_t version = itsRegistryVersion;
    const std::vector<TShareVarBase*> snapshot = itsRegistry;
    for (TShareVarBase* variable : snapshot) {
        if (!*alive) {
            return;
        }
        if (StillRegistered(variable, version)) {
            (variable->*signal)();
        }
    }
}

// --- group objects -------------------------------------------------------------------------

bool TShareManBase::LockGroup() {
    if (itsMutex == nullptr) {
        return false;
    }
    const std::uint32_t result = platform::WaitForNamedMutex(itsMutex, kLockTimeoutMs);
    // An abandoned mutex is ours and consistent again: hold it and release it normally. Its
    // holder may have died half-way through changing the slave count, so that is rebuilt.
    if (result == platform::kWaitAbandoned) {
        DoRecountSlaves();
    }
    return result == platform::kWaitObject0 || result == platform::kWaitAbandoned;
}

void TShareManBase::UnlockGroup(bool held) {
    if (held) {
        platform::ReleaseNamedMutex(itsMutex);
    }
}

// The block's write index as a ring position. The store never writes one outside the ring,
// but another process might: it is taken modulo the ring size, so no read or write leaves it.
std::int32_t TShareManBase::BlockWriteIndex() const {
    std::int32_t index = 0;
    std::memcpy(&index, &itsBlock->RingWriteIndex, sizeof(index));
    return ((index % kRingSize) + kRingSize) % kRingSize;
}

bool TShareManBase::DoOpen() {
    TSecurity& security = *itsSecurity;
    itsMutex = platform::CreateNamedMutex(security.GetSecurity(), "Mut" + itsGrpName);
    if (itsMutex == nullptr) {
        return false;
    }
    itsMapping = platform::CreateNamedMapping(security.GetSecurity(),
                                              static_cast<std::uint32_t>(sizeof(ShareGroupBlock)),
                                              "Mem" + itsGrpName);
    if (itsMapping == nullptr) {
        return false;
    }
    itsView =
        platform::MapViewOfMapping(itsMapping, static_cast<std::uint32_t>(sizeof(ShareGroupBlock)));
    if (itsView == nullptr) {
        return false;
    }
    itsBlock = static_cast<ShareGroupBlock*>(itsView);
    // Proof of a live master and of live slaves; without them the store works as before, only
    // a dead master or slave then stays counted.
    itsMasterMutex = platform::CreateNamedMutex(security.GetSecurity(), "Mst" + itsGrpName);
    itsSlots = platform::CreateNamedMutexTable(security.GetSecurity(), "Slv" + itsGrpName,
                                               sizeof(ShareSlaveSlots), kSlaveSlots);
    return true;
}

void TShareManBase::DoClose() {
    if (itsMasterMutex != nullptr) {
        if (itsMasterLockHeld) {
            platform::ReleaseNamedMutex(itsMasterMutex);
        }
        platform::CloseNamedHandle(itsMasterMutex);
    }
    itsMasterMutex = nullptr;
    itsMasterLockHeld = false;
    if (itsKeepSlots) {
        KeepSlotTable(itsSlots);
    } else if (itsSlots != nullptr) {
        platform::CloseNamedHandle(itsSlots);
    }
    itsSlots = nullptr;
    itsSlot = -1;
    itsKeepSlots = false;
    if (itsView != nullptr) {
        platform::UnmapViewOfMapping(itsView);
    }
    if (itsMapping != nullptr) {
        platform::CloseNamedHandle(itsMapping);
    }
    if (itsMutex != nullptr) {
        platform::CloseNamedHandle(itsMutex);
    }
    itsView = nullptr;
    itsMapping = nullptr;
    itsMutex = nullptr;
    itsBlock = nullptr;
}

// A master that died while active leaves MasterCount at 1. The active master holds the mutex
// "Mst" + group name, so only a dead owner lets a try report it abandoned: then the count is
// cleared. Any other result (a live master, or a master that never takes the lock) changes
// nothing. Called with the group mutex held, so that a master activating at the same moment
// sees either the old count and a live proof or the cleared count; the try never waits, so
// holding both cannot deadlock.
void TShareManBase::DoClearDeadMaster() {
    if (itsMasterMutex == nullptr || itsBlock->MasterCount == 0) {
        return;
    }
    const std::uint32_t result = platform::WaitForNamedMutex(itsMasterMutex, 0);
    if (result == platform::kWaitObject0 || result == platform::kWaitAbandoned) {
        platform::ReleaseNamedMutex(itsMasterMutex);
    }
    if (result == platform::kWaitAbandoned) {
        itsBlock->MasterCount = 0;
    }
}

void TShareManBase::DoTakeMasterLock() {
    if (itsMasterMutex == nullptr) {
        return;
    }
    const std::uint32_t result = platform::WaitForNamedMutex(itsMasterMutex, kLockTimeoutMs);
    itsMasterLockHeld = result == platform::kWaitObject0 || result == platform::kWaitAbandoned;
}

// --- slave slots ---------------------------------------------------------------------------

ShareSlaveSlots* TShareManBase::Slots() const {
    return static_cast<ShareSlaveSlots*>(platform::MutexTableHeader(itsSlots));
}

// Claims a slot for this slave, flags it counted, then counts it; without the table it is
// counted without a slot, and with every slot (or the count) full it is not counted at all.
// A slave killed at any instant of this leaves the group mutex abandoned, and its next holder
// rebuilds the count from the flags; as the slot comes first, a slave killed with anything
// changed holds a slot that pollers try, so one of them takes the group mutex soon. The slot's
// mutex belongs to the calling thread, the one that activates the store: only that thread can
// let it go. Called with the group mutex held.
void TShareManBase::DoCountSlave() {
    if (itsBlock->SlaveCount >= kSlaveSlots) {
        return;
    }
    if (Slots() != nullptr) {
        itsSlot = DoClaimSlot();
        if (itsSlot < 0) {
            return;
        }
        Slots()->Counted[itsSlot] = kSlotCounted;
    }
    ++itsBlock->SlaveCount;
    itsCounted = true;
}

// Counts this slave once it has joined: at activation, or at a later poll when the group mutex
// timed out then, so that no count is changed without it. Called with the group mutex held.
void TShareManBase::DoFinishJoin() {
    if (itsJoinPending) {
        itsJoinPending = false;
        DoCountSlave();
    }
}

// The slots the reaper kept are let go first, so that the claim never takes one of them.
void TShareManBase::DoRetryJoin() {
    if (itsJoinPending) {
        const bool held = LockGroup();
        if (held) {
            DoUncountKeptDeadSlaves(true);
            DoFinishJoin();
        }
        UnlockGroup(held);
    }
}

// The reverse, releasing the slot last: a slave killed before that is no longer flagged in its
// slot, so nobody uncounts it twice. A slave that was not counted uncounts nobody. Called with
// the group mutex held.
void TShareManBase::DoUncountSlave() {
    if (itsSlot >= 0) {
        Slots()->Counted[itsSlot] = 0;
    }
    if (itsCounted && itsBlock->SlaveCount > 0) {
        --itsBlock->SlaveCount;
    }
    itsCounted = false;
    if (itsSlot >= 0) {
        DoReleaseSlot(itsSlot);
    }
    itsSlot = -1;
}

// Leaving while the group mutex timed out: the count may not be changed, so this slave's slot
// is flagged as left and let go, for whoever takes it next to uncount it. A slave counted
// without a slot (no slot table) stays counted.
void TShareManBase::DoLeaveUnlocked() {
    if (itsSlot >= 0) {
        DoLeaveSlot(itsSlot);
    }
    itsCounted = false;
    itsSlot = -1;
}

void TShareManBase::DoLeaveSlot(int slot) {
    std::uint8_t& flag = Slots()->Counted[slot];
    if (flag != 0) {
        flag = kSlotLeft;
    }
    DoReleaseSlot(slot);
}

// Lets go of a slot this process holds. On a thread other than the one that took it the
// release fails: the slot then stays taken until that thread ends (already uncounted, so its
// abandoned mutex changes no count), and the table stays mapped (DoClose) rather than pulled
// from under that thread's robust list.
void TShareManBase::DoReleaseSlot(int slot) {
    if (!platform::ReleaseNamedMutexAt(itsSlots, static_cast<std::uint32_t>(slot))) {
        itsKeepSlots = true;
    }
}

// Every slave counted in SlaveCount is flagged in its slot, so the flags give the count back
// after a holder of the group mutex died between changing one and the other. A dead slave
// still flagged is uncounted by the try that finds its slot abandoned. Called with the group
// mutex held.
void TShareManBase::DoRecountSlaves() {
    const ShareSlaveSlots* slots = Slots();
    if (itsBlock == nullptr || slots == nullptr) {
        return;
    }
    const auto counted = std::count_if(std::begin(slots->Counted), std::end(slots->Counted),
                                       [](std::uint8_t flag) { return flag != 0; });
    itsBlock->SlaveCount = static_cast<std::uint8_t>(counted);
}

// Takes the lowest slot that nobody holds and keeps it; a slot whose holder died is uncounted
// first. A slot that a poller tries at this moment is busy: the next one is taken. Returns -1
// when none is free.
int TShareManBase::DoClaimSlot() {
    ShareSlaveSlots* slots = Slots();
    for (int slot = 0; slots != nullptr && slot < kSlaveSlots; ++slot) {
        const std::uint32_t result =
            platform::WaitForNamedMutexAt(itsSlots, static_cast<std::uint32_t>(slot), 0);
        if (IsGoneSlave(slot, result)) {
            DoUncountDeadSlave(slot);
        }
        if (result == platform::kWaitObject0 || result == platform::kWaitAbandoned) {
            if (slot >= slots->HighWater) {
                slots->HighWater = static_cast<std::uint8_t>(slot + 1);
            }
            return slot;
        }
    }
    return -1;
}

// Whether a slot just tried (with `result`) holds a slave that is gone but still counted: it
// died (the try reports it abandoned, to exactly one taker) or left while the group mutex timed
// out (flagged left). A left slot this process already took over is not taken twice.
bool TShareManBase::IsGoneSlave(int slot, std::uint32_t result) const {
    if (result == platform::kWaitAbandoned) {
        return true;
    }
    return result == platform::kWaitObject0 && Slots()->Counted[slot] == kSlotLeft &&
           std::find(itsDeadSlots.begin(), itsDeadSlots.end(), slot) == itsDeadSlots.end();
}

// Tries every slot claimed so far, and only while slaves are counted: a slot whose holder died
// is reported abandoned to exactly one poller, which uncounts that slave under the group mutex;
// a slot whose holder left uncounted is taken by one poller at a time, which does the same.
// When that mutex times out (a holder stopped), the slot stays taken and the uncount is retried
// on the next poll, as the report does not come again. A free slot is let go at once; this
// process's own slot is only taken once more and let go (the mutex is recursive).
void TShareManBase::DoReapDeadSlaves() {
    const ShareSlaveSlots* slots = Slots();
    if (slots == nullptr) {
        return;
    }
    if (!itsDeadSlots.empty()) {
        const bool held = LockGroup();
        if (held) {
            DoUncountKeptDeadSlaves(true);
        }
        UnlockGroup(held);
    }
    if (itsBlock->SlaveCount == 0) {
        return;
    }
    const int used = slots->HighWater;
    for (int slot = 0; slot < used; ++slot) {
        const auto index = static_cast<std::uint32_t>(slot);
        const std::uint32_t result = platform::WaitForNamedMutexAt(itsSlots, index, 0);
        if (IsGoneSlave(slot, result)) {
            const bool held = LockGroup();
            if (!held) {
                itsDeadSlots.push_back(slot);
                continue;
            }
            DoUncountDeadSlave(slot);
            UnlockGroup(held);
        }
        if (result == platform::kWaitObject0 || result == platform::kWaitAbandoned) {
            platform::ReleaseNamedMutexAt(itsSlots, index);
        }
    }
}

// Uncounts the gone slaves whose slots the reaper kept, and lets the slots go; without the
// group mutex (at deactivation) they are flagged left for the next taker instead.
void TShareManBase::DoUncountKeptDeadSlaves(bool held) {
    for (const int slot : itsDeadSlots) {
        if (held) {
            DoUncountDeadSlave(slot);
            DoReleaseSlot(slot);
        } else {
            DoLeaveSlot(slot);
        }
    }
    itsDeadSlots.clear();
}

// Called with the group mutex held and the dead slave's slot taken over.
void TShareManBase::DoUncountDeadSlave(int slot) {
    ShareSlaveSlots* slots = Slots();
    if (slots->Counted[slot] == 0) {
        return; // it died after uncounting itself, or while it only tried the slot
    }
    slots->Counted[slot] = 0;
    if (itsBlock->SlaveCount > 0) {
        --itsBlock->SlaveCount;
    }
}

// Removes the group's objects that no live process holds, left behind by killed processes: the
// blocks and mutexes of the group and its variables, the master proof and the slot table. The
// prefixes also match groups whose names begin with this one ("Grp2" for "Grp"); an object that
// nobody holds is garbage in any group, so removing it there is harmless too.
void TShareManBase::DoRemoveOrphans() {
    for (const char* kind : {"Mem", "Mut", "Mst", "Slv"}) {
        platform::RemoveUnheldObjects(kind + itsGrpName);
    }
}

// --- activation ----------------------------------------------------------------------------

void TShareManBase::DoActivateMaster() {
    std::uint8_t counter = 0;
    for (std::size_t i = 0; i < itsRegistry.size(); ++i) {
        TShareVarBase* variable = itsRegistry[i];
        const std::string type = variable->GetVarType();
        const bool twin =
            std::any_of(itsRegistry.begin(), itsRegistry.begin() + static_cast<std::ptrdiff_t>(i),
                        [&](TShareVarBase* earlier) {
                            return earlier->GetSecName() == variable->GetSecName() &&
                                   earlier->GetVarName() == variable->GetVarName() &&
                                   earlier->GetVarType() == type;
                        });
        if (twin) {
            variable->DoSlaveAllocate();
        } else {
            variable->DoMasterAllocate(counter);
        }
    }
    itsBlock->RingWriteIndex = 0;
    itsRingReadIndex = 0;
    // The proof first: a master killed before the count leaves no count, one killed after it
    // leaves the proof abandoned.
    DoTakeMasterLock();
    itsBlock->MasterCount = 1;
}

void TShareManBase::DoActivateSlave() {
    for (TShareVarBase* variable : itsRegistry) {
        variable->DoSlaveAllocate();
    }
    itsRingReadIndex = BlockWriteIndex();
    itsJoinPending = true;
}

void TShareManBase::SetActive(bool value) {
    if (value == GetActive()) {
        return;
    }
    if (!value) {
        DoDeactivate();
        return;
    }
    // The poll thread first: a process that cannot start one (at its thread or address-space
    // limit) raises here with nothing opened, so the store stays inactive and leaves nothing.
    auto pollThread = std::make_unique<TIPThread>();
    if (!DoOpen()) {
        DoClose();
        return;
    }
    const bool held = LockGroup();
    if (held) {
        DoClearDeadMaster();
    }
    if (itsMaster && itsBlock->MasterCount != 0) {
        itsMaster = false; // another master is active: go on as a slave, silently
    }
    if (itsMaster) {
        DoActivateMaster();
    } else {
        DoActivateSlave();
        if (held) {
            DoFinishJoin();
        }
    }
    UnlockGroup(held);
    if (itsMaster) {
        DoRemoveOrphans();
    }

    itsPollThread = std::move(pollThread);
    itsPollThread->SetInterval(kFirstTickMs);
    itsPollThread->SetOnPoll(tk::Bind(this, &TShareManBase::DoPoll));
    ++itsActivation;
    itsPollThread->SetRun(true);
    itsLookUpDirty = true;
    DoSignalActiveChange();
}

// The thread is joined rather than waited for blindly; a tick it has handed over but that has
// not run yet is dropped, so this returns at once even from inside a poll handler.
void TShareManBase::DoDeactivate() {
    itsPollThread->SetRun(false);
    itsPollThread.reset();
    ++itsActivation;

    const bool held = LockGroup();
    for (TShareVarBase* variable : itsRegistry) {
        variable->DoDeAllocate();
    }
    if (itsBlock != nullptr) {
        DoUncountKeptDeadSlaves(held);
        if (itsMaster) {
            if (itsBlock->MasterCount == 1) {
                itsBlock->MasterCount = 0;
            }
        } else if (held) {
            DoUncountSlave();
        } else {
            DoLeaveUnlocked();
        }
    }
    itsJoinPending = false;
    UnlockGroup(held);
    DoClose();
    DoSignalActiveChange();
}

// --- change ring ---------------------------------------------------------------------------

void TShareManBase::DoSignalChange(tk::TObject* variable) {
    DoSignalChange(dynamic_cast<TShareVarBase*>(variable));
}

void TShareManBase::DoSignalChange(TShareVarBase* variable) {
    if (variable == nullptr || !GetActive()) {
        return;
    }
    const std::uint8_t id = variable->GetID();
    if (id == 0 || itsBlock->MasterCount == 0) {
        return;
    }
    const bool held = LockGroup();
    const std::int32_t write = BlockWriteIndex();
    itsBlock->ChangeRing[write] = id;
    itsBlock->RingWriteIndex = (write + 1) % kRingSize;
    UnlockGroup(held);
}

void TShareManBase::DoPoll(tk::TObject* /*Sender*/) {
    if (GetActive()) {
        itsPollThread->SetInterval(itsBlock->SlaveCount > 0 ? itsInterval : kIdleIntervalMs);
    }
    const auto alive = itsAlive;
    DoPoll1();
    if (*alive) {
        DoPoll2();
    }
}

void TShareManBase::DoPoll1() {
    if (!GetActive()) {
        return;
    }
    if (!itsMaster && itsBlock->MasterCount != 0) {
        const bool held = LockGroup();
        if (held) {
            DoClearDeadMaster();
        }
        UnlockGroup(held);
    }
    DoRetryJoin();
    DoReapDeadSlaves();
    if (itsBlock->MasterCount == 0) {
        itsLookUpDirty = true;
        return;
    }
    const bool held = LockGroup();
    const std::int32_t read = itsRingReadIndex;
    const std::int32_t write = BlockWriteIndex();
    const std::uint8_t* ring = itsBlock->ChangeRing;
    if (read < write) {
        std::memcpy(&itsRingCopy[read], ring + read, static_cast<std::size_t>(write - read));
    } else if (write < read) {
        std::memcpy(&itsRingCopy[read], ring + read, static_cast<std::size_t>(kRingSize - read));
        std::memcpy(&itsRingCopy[0], ring, static_cast<std::size_t>(write));
    }
    UnlockGroup(held);
    if (read == write) {
        return;
    }
    DoInitLookUpTable();

    const auto alive = itsAlive;
    const std::uint64_t activation = itsActivation;
    const std::uint64_t version = itsRegistryVersion;
    while (itsRingReadIndex != write) {
        // The entry is consumed before its events fire: a handler that raises loses only this
        // entry's remaining events, instead of meeting the same entry again on every poll.
        const std::uint8_t id = itsRingCopy[static_cast<std::size_t>(itsRingReadIndex)];
        itsRingReadIndex = (itsRingReadIndex + 1) % kRingSize;
        if (id != 0) {
            const std::vector<TShareVarBase*>& list = itsLookUpTable[id];
            for (std::size_t k = 0; k < list.size(); ++k) {
                TShareVarBase* variable = list[k];
                if (StillRegistered(variable, version)) {
                    variable->DoSignalChange();
                }
                if (!*alive || activation != itsActivation) {
                    return; // a handler deleted the manager or switched the store
                }
            }
            if (itsOnMonitor) {
                const TMonitorEvent handler = itsOnMonitor;
                handler(this, id);
                if (!*alive || activation != itsActivation) {
                    return;
                }
            }
        }
    }
}

void TShareManBase::DoInitLookUpTable() {
    if (!itsLookUpDirty) {
        return;
    }
    itsLookUpDirty = false;
    for (auto& list : itsLookUpTable) {
        list.clear();
    }
    for (TShareVarBase* variable : itsRegistry) {
        itsLookUpTable[variable->GetID()].push_back(variable);
    }
}

void TShareManBase::DoPoll2() {
    const auto alive = itsAlive;
    const std::uint64_t version = itsRegistryVersion;
    const std::vector<TShareVarBase*> snapshot = itsRegistry;
    for (TShareVarBase* variable : snapshot) {
        if (!StillRegistered(variable, version)) {
            continue;
        }
        variable->ClearPendingWrite();
        variable->DoSignalPoll();
        if (!*alive) {
            return;
        }
    }
}

// --- INI persistence -----------------------------------------------------------------------

void TShareManBase::LoadIni(tk::TMemIniFile* ini) {
    if (ini == nullptr) {
        return;
    }
    const std::vector<TShareVarBase*> snapshot = itsRegistry;
    for (TShareVarBase* variable : snapshot) {
        if (!variable->GetSaveable()) {
            continue;
        }
        try {
            variable->LoadIni(ini);
        } catch (...) {
            // a failing variable is skipped; the others are still loaded
        }
    }
}

void TShareManBase::SaveIni(tk::TMemIniFile* ini) {
    if (ini == nullptr) {
        return;
    }
    for (TShareVarBase* variable : itsRegistry) {
        if (!variable->GetSaveable()) {
            continue;
        }
        try {
            variable->SaveIni(ini);
        } catch (...) {
            // a failing variable is skipped; the others are still saved
        }
    }
}

int TShareManBase::TestIni(tk::TMemIniFile* ini) {
    if (ini == nullptr) {
        return 0;
    }
    int differences = 0;
    for (TShareVarBase* variable : itsRegistry) {
        if (!variable->GetSaveable()) {
            continue;
        }
        try {
            differences += std::max(variable->TestIni(ini), 0);
        } catch (...) {
            // a failing variable counts as equal
        }
    }
    return differences;
}

void TShareManBase::SaveAll(tk::TMemIniFile* ini) {
    if (ini == nullptr) {
        return;
    }
    for (TShareVarBase* variable : itsRegistry) {
        try {
            variable->SaveIni(ini);
        } catch (...) {
            // a failing variable is skipped; the others are still saved
        }
    }
}

void TShareManBase::LoadIni() {
    if (itsFileName.empty()) {
        return;
    }
    tk::TMemIniFile ini(itsFileName); // a file that cannot be read raises: nothing is loaded
    try {
        LoadIni(&ini);
    } catch (...) {
    }
}

void TShareManBase::SaveIni() {
    if (itsFileName.empty()) {
        return;
    }
    // A file that cannot be read raises here and is left as it is, never written over.
    tk::TMemIniFile ini(itsFileName);
    try {
        SaveIni(&ini);
    } catch (...) {
    }
    ini.UpdateFile(); // a write failure reaches the caller
}

int TShareManBase::TestIni() {
    if (itsFileName.empty()) {
        return 0;
    }
    tk::TMemIniFile ini(itsFileName);
    try {
        return TestIni(&ini);
    } catch (...) {
        return 0;
    }
}

void TShareManBase::SaveAll(const std::string& fileName) {
    if (fileName.empty()) {
        return;
    }
    tk::TMemIniFile ini(fileName);
    try {
        SaveAll(&ini);
    } catch (...) {
    }
    ini.UpdateFile(); // a write failure reaches the caller
}
