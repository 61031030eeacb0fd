#include "store/IPMonitor.h"

#include "platform/Kernel.h"
#include "store/Security.h"

namespace {
constexpr std::uint32_t kWaitMs = 1000;
constexpr std::uint32_t kTableSize = sizeof(MonitorTable);
} // namespace

TIPMonitor::TIPMonitor(tk::TComponent* AOwner)
    : tk::TComponent(AOwner), itsSecurity(std::make_unique<TSecurity>()) {}

TIPMonitor::~TIPMonitor() {
    SetActive(false);
}

void TIPMonitor::SetActive(bool value) {
    if (value == GetActive()) {
        return;
    }
    if (value) {
        DoOpen();
    } else {
        DoClose();
    }
}

void TIPMonitor::SetBaseName(const std::string& value) {
    if (!GetActive()) {
        itsBaseName = value;
    }
}

void TIPMonitor::SetType(int value) {
    if (!GetActive()) {
        itsType = value;
    }
}

void TIPMonitor::DoOpen() {
    itsMutex = platform::CreateNamedMutex(itsSecurity->GetSecurity(), itsBaseName + "_MON_MUTEX");
    if (itsMutex == nullptr) {
        DoClose();
        return;
    }
    itsMapping = platform::CreateNamedMapping(itsSecurity->GetSecurity(), kTableSize,
                                              itsBaseName + "_MON_MEMORY");
    if (itsMapping == nullptr) {
        DoClose();
        return;
    }
    itsTable = static_cast<MonitorTable*>(platform::MapViewOfMapping(itsMapping, kTableSize));
    if (itsTable == nullptr) {
        DoClose();
        return;
    }
    DoRegister();
}

void TIPMonitor::DoClose() {
    DoUnregister();
    if (itsTable != nullptr) {
        platform::UnmapViewOfMapping(itsTable);
    }
    if (itsMapping != nullptr) {
        platform::CloseNamedHandle(itsMapping);
    }
    if (itsMutex != nullptr) {
        platform::CloseNamedHandle(itsMutex);
    }
    itsTable = nullptr;
    itsMapping = nullptr;
    itsMutex = nullptr;
}

// An abandoned mutex is owned and consistent again: it is used and released like any other.
bool TIPMonitor::Acquire(std::uint32_t timeoutMs) {
    const std::uint32_t result = platform::WaitForNamedMutex(itsMutex, timeoutMs);
    return result == platform::kWaitObject0 || result == platform::kWaitAbandoned;
}

int TIPMonitor::CountUsed() const {
    int used = 0;
    for (const MonitorSlot& slot : itsTable->Slots) {
        used += slot.Id != 0 ? 1 : 0;
    }
    return used;
}

// Takes the first free slot under the next Id, 0x8001 ... 0xFFFF, then 0x8000, ...
void TIPMonitor::TakeFreeSlot(std::uint32_t now) {
    for (MonitorSlot& slot : itsTable->Slots) {
        if (slot.Id == 0) {
            const std::int32_t id = ((itsTable->LastId & 0x7FFF) + 1) | 0x8000;
            itsTable->LastId = id;
            slot = MonitorSlot{id, now, itsType};
            itsOwnId = id;
            return;
        }
    }
}

void TIPMonitor::DoRegister() {
    if (!GetActive()) {
        return;
    }
    itsOwnId = 0;
    const std::uint32_t now = platform::GetTickCount();
    if (!Acquire(kWaitMs)) {
        return; // the next DoPoll registers
    }
    TakeFreeSlot(now);
    itsCount = CountUsed();
    platform::ReleaseNamedMutex(itsMutex);
}

void TIPMonitor::DoUnregister() {
    if (!GetActive() || itsOwnId == 0) {
        return;
    }
    if (!Acquire(kWaitMs)) {
        return;
    }
    for (MonitorSlot& slot : itsTable->Slots) {
        if (slot.Id == itsOwnId) {
            slot = MonitorSlot{0, 0, 0};
            break;
        }
    }
    itsCount = CountUsed();
    platform::ReleaseNamedMutex(itsMutex);
    itsOwnId = 0;
}

void TIPMonitor::DoPoll(tk::TObject* /*Sender*/) {
    if (!GetActive()) {
        return;
    }
    const std::uint32_t now = platform::GetTickCount();
    if (!Acquire(0)) {
        return; // no heartbeat this time
    }
    if (itsOwnId == 0) {
        TakeFreeSlot(now);
    }
    bool held = false;
    for (MonitorSlot& slot : itsTable->Slots) {
        if (itsOwnId != 0 && slot.Id == itsOwnId) {
            slot.Tick = now;
            slot.Type = itsType;
        }
    }
    for (MonitorSlot& slot : itsTable->Slots) {
        if (slot.Id > 0) {
            // Signed wrap-around difference: correct across the tick count's wrap.
            const auto age = static_cast<std::int32_t>(now - slot.Tick);
            if (age > static_cast<std::int32_t>(kMonitorTimeoutMs) || age < 0) {
                slot = MonitorSlot{0, 0, 0};
            }
        }
        held = held || (itsOwnId != 0 && slot.Id == itsOwnId);
    }
    itsCount = CountUsed();
    if (!held) {
        itsOwnId = 0; // expired by another participant: register again next time
    }
    platform::ReleaseNamedMutex(itsMutex);
}

int TIPMonitor::GetCountType(int type) {
    if (!GetActive() || !Acquire(0)) {
        return -1;
    }
    int count = 0;
    for (const MonitorSlot& slot : itsTable->Slots) {
        count += slot.Id != 0 && slot.Type == type ? 1 : 0;
    }
    platform::ReleaseNamedMutex(itsMutex);
    return count;
}
