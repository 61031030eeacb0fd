#include "store/ShareVarBase.h"

#include "store/Security.h"
#include "store/ShareManBase.h"
#include "toolkit/IniFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr std::uint32_t kLockTimeoutMs = 1000;
constexpr int kMaxVarCount = 128;

// Copies one element; the fixed sizes of the four types compile to plain moves.
void CopyElement(void* to, const void* from, std::size_t size) {
    switch (size) {
    case 1:
        std::memcpy(to, from, 1);
        break;
    case 4:
        std::memcpy(to, from, 4);
        break;
    case 8:
        std::memcpy(to, from, 8);
        break;
    default:
        std::memcpy(to, from, size);
    }
}
} // namespace

TShareVarBase::TShareVarBase(tk::TComponent* AOwner)
    : tk::TComponent(AOwner), itsSecurity(std::make_unique<TSecurity>()) {
    SetVarCount(1);
    if (TShareManBase* manager = GetShareManBase()) {
        manager->DoRegisterAdd(this);
    }
}

TShareVarBase::~TShareVarBase() {
    // Nothing may fire into the owner while it tears down.
    OnChange = nullptr;
    OnPoll = nullptr;
    OnActiveChange = nullptr;
    OnMasterChange = nullptr;
    if (TShareManBase* manager = GetShareManBase()) {
        manager->DoRegisterRemove(this);
    }
    DoClose();
}

TShareManBase* TShareVarBase::GetShareManBase() {
    if (ComponentState() == tk::TComponentState::Designing) {
        return nullptr;
    }
    return TShareManBase::GetShareManBase();
}

// --- mapping -------------------------------------------------------------------------------

std::string TShareVarBase::BlockSuffix() {
    return GetGrpName() + itsSecName + itsVarName + GetVarType() + std::to_string(itsVarCount);
}

void TShareVarBase::DoSlaveAllocate() {
    DoClose();
    const std::string suffix = BlockSuffix();
    const auto size = static_cast<std::uint32_t>(sizeof(ShareVarBlock) +
                                                 static_cast<std::size_t>(SizeOfValue()) *
                                                     static_cast<std::size_t>(itsVarCount));
    itsMutex = platform::CreateNamedMutex(itsSecurity->GetSecurity(), "Mut" + suffix);
    if (itsMutex == nullptr) {
        DoClose();
        return;
    }
    itsMapping = platform::CreateNamedMapping(itsSecurity->GetSecurity(), size, "Mem" + suffix);
    if (itsMapping == nullptr) {
        DoClose();
        return;
    }
    itsView = platform::MapViewOfMapping(itsMapping, size);
    if (itsView == nullptr) {
        DoClose();
        return;
    }
    itsBlock = static_cast<ShareVarBlock*>(itsView);
    if (size > sizeof(ShareVarBlock)) {
        itsShared = static_cast<std::uint8_t*>(itsView) + sizeof(ShareVarBlock);
    }
    itsCount = itsBlock->ChangeCount;
}

void TShareVarBase::DoMasterAllocate(std::uint8_t& counter) {
    DoSlaveAllocate();
    if (itsBlock != nullptr) {
        ++counter; // wraps 255 to 0
        itsBlock->ID = counter;
    }
}

void TShareVarBase::DoDeAllocate() {
    DoClose();
}

void TShareVarBase::DoClose() {
    if (itsView != nullptr) {
        platform::UnmapViewOfMapping(itsView);
    }
    itsView = nullptr;
    itsBlock = nullptr;
    itsShared = nullptr;
    if (itsMapping != nullptr) {
        platform::CloseNamedHandle(itsMapping);
        itsMapping = nullptr;
    }
    if (itsMutex != nullptr) {
        platform::CloseNamedHandle(itsMutex);
        itsMutex = nullptr;
    }
    itsLockState = platform::kWaitTimeout;
}

// --- names and count -----------------------------------------------------------------------

namespace {
bool Settable(TShareManBase* manager) {
    return manager != nullptr && !manager->GetActive();
}
} // namespace

void TShareVarBase::SetSecName(const std::string& value) {
    if (Settable(GetShareManBase())) {
        itsSecName = value;
    }
}

void TShareVarBase::SetVarName(const std::string& value) {
    if (Settable(GetShareManBase())) {
        itsVarName = value;
    }
}

void TShareVarBase::SetVarCount(int value) {
    if (!Settable(GetShareManBase())) {
        return;
    }
    itsVarCount = std::clamp(value, 1, kMaxVarCount);
    itsElementSize = SizeOfValue();
    itsLocal.assign(
        static_cast<std::size_t>(itsElementSize) * static_cast<std::size_t>(itsVarCount), 0);
}

std::uint8_t TShareVarBase::GetID() const {
    return itsBlock != nullptr ? itsBlock->ID : 0;
}

// --- manager pass-throughs -----------------------------------------------------------------

std::string TShareVarBase::GetGrpName() {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->GetGrpName() : std::string();
}

void TShareVarBase::SetGrpName(const std::string& value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetGrpName(value);
    }
}

bool TShareVarBase::GetMaster() {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr && manager->GetMaster();
}

void TShareVarBase::SetMaster(bool value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetMaster(value);
    }
}

bool TShareVarBase::GetActive() {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr && manager->GetActive();
}

void TShareVarBase::SetActive(bool value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetActive(value);
    }
}

int TShareVarBase::GetRegisterCount() {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->GetRegisterCount() : 0;
}

bool TShareVarBase::GetDirty() {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr && manager->GetDirty();
}

void TShareVarBase::SetDirty(bool value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetDirty(value);
    }
}

int TShareVarBase::GetMasterCount() {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->GetMasterCount() : 0;
}

int TShareVarBase::GetSlaveCount() {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->GetSlaveCount() : 0;
}

// --- element storage and the lock protocol -------------------------------------------------

std::uint8_t* TShareVarBase::LocalValuePtr(int i) {
    if (itsLocal.empty() || i < 0 || i >= itsVarCount) {
        return nullptr;
    }
    return itsLocal.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(itsElementSize);
}

std::uint8_t* TShareVarBase::ShareValuePtr(int i) {
    if (itsShared == nullptr || i < 0 || i >= itsVarCount) {
        return nullptr;
    }
    return itsShared + static_cast<std::size_t>(i) * static_cast<std::size_t>(itsElementSize);
}

void TShareVarBase::Lock() {
    itsLockState = platform::kWaitTimeout;
    if (itsMutex == nullptr) {
        return;
    }
    const std::uint32_t result = platform::WaitForNamedMutex(itsMutex, kLockTimeoutMs);
    // An abandoned mutex is ours and consistent again: hold it and release it normally.
    itsLockState = result == platform::kWaitAbandoned ? platform::kWaitObject0 : result;
}

void TShareVarBase::UnlockMutex() {
    if (itsLockState == platform::kWaitObject0) {
        platform::ReleaseNamedMutex(itsMutex);
    }
    itsLockState = platform::kWaitTimeout;
}

void TShareVarBase::ReadUnLock() {
    if (itsBlock != nullptr) {
        itsCount = itsBlock->ChangeCount;
    }
    UnlockMutex();
}

void TShareVarBase::WriteUnLockX() {
    if (itsBlock != nullptr) {
        ++itsCount;
        itsBlock->ChangeCount = itsCount;
    }
    UnlockMutex();
}

void TShareVarBase::WriteUnLock() {
    WriteUnLockX();
    if (TShareManBase* manager = GetShareManBase()) {
        manager->DoSignalChange(this);
    }
}

void TShareVarBase::ReadElement(int index, void* value) {
    const auto size = static_cast<std::size_t>(itsElementSize);
    std::uint8_t* local = LocalValuePtr(index);
    std::uint8_t* shared = ShareValuePtr(index);
    if (local == nullptr) {
        std::memset(value, 0, size);
        return;
    }
    // A master with a pending write keeps its own value until the flush.
    if (shared != nullptr && !(itsPendingWrite && GetMaster())) {
        Lock();
        CopyElement(local, shared, size);
        ReadUnLock();
    }
    CopyElement(value, local, size);
}

void TShareVarBase::WriteElement(int index, const void* value, bool announce) {
    const auto size = static_cast<std::size_t>(itsElementSize);
    std::uint8_t* local = LocalValuePtr(index);
    std::uint8_t* shared = ShareValuePtr(index);
    if (local == nullptr) {
        return;
    }
    CopyElement(local, value, size);
    if (shared == nullptr) {
        itsPendingWrite = true;
        return;
    }
    Lock();
    CopyElement(shared, local, size);
    if (announce) {
        WriteUnLock();
    } else {
        WriteUnLockX();
    }
}

void TShareVarBase::FlushPendingWrite() {
    if (!itsPendingWrite) {
        return;
    }
    const auto size = static_cast<std::size_t>(itsElementSize);
    Lock();
    for (int i = 0; i < itsVarCount; ++i) {
        std::uint8_t* local = LocalValuePtr(i);
        std::uint8_t* shared = ShareValuePtr(i);
        if (local == nullptr || shared == nullptr) {
            break;
        }
        CopyElement(shared, local, size);
        itsPendingWrite = false;
    }
    WriteUnLock();
}

// --- events --------------------------------------------------------------------------------

namespace {
// Fires a copy of the handler, so a handler that deletes its variable runs to its end safely.
void Fire(const tk::TNotifyEvent& event, tk::TObject* sender) {
    if (event) {
        tk::TNotifyEvent handler = event;
        handler(sender);
    }
}
} // namespace

void TShareVarBase::DoSignalChange() {
    if (GetActive()) {
        Fire(OnChange, this);
    }
}

void TShareVarBase::DoSignalPoll() {
    if (GetActive()) {
        Fire(OnPoll, this);
    }
}

void TShareVarBase::DoSignalActiveChange() {
    Fire(OnActiveChange, this);
}

void TShareVarBase::DoSignalMasterChange() {
    Fire(OnMasterChange, this);
}

// --- base versions of the typed operations: no values of any type --------------------------

void TShareVarBase::LoadIni(tk::TMemIniFile* /*ini*/) {}
void TShareVarBase::SaveIni(tk::TMemIniFile* /*ini*/) {}
int TShareVarBase::TestIni(tk::TMemIniFile* /*ini*/) {
    return 0;
}

// A text that parses reads the same whatever the default, so a read that gives back each of two
// defaults found none. (A default of current + 1 would equal a current value of 1e16 or more.)
bool TShareVarBase::ReadIniFloat(tk::TMemIniFile* ini, const std::string& key,
                                 double& value) const {
    value = ini->ReadFloat(itsSecName, key, 0.0);
    return value != 0.0 || ini->ReadFloat(itsSecName, key, 1.0) == 0.0;
}

int TShareVarBase::FloatDiffers(double stored, double current) {
    if (std::isnan(stored) || std::isnan(current)) {
        return std::isnan(stored) && std::isnan(current) ? 0 : 1;
    }
    return std::fabs(stored - current) >= 0.01 ? 1 : 0;
}

std::string TShareVarBase::GetVarType() const {
    return {};
}
int TShareVarBase::SizeOfValue() const {
    return 0;
}
void TShareVarBase::ClearPendingWrite() {
    itsPendingWrite = false;
}
bool TShareVarBase::GetValueBoolA(int /*index*/) {
    return false;
}
void TShareVarBase::SetValueBoolA(int /*index*/, bool /*value*/) {}
void TShareVarBase::SetValueBoolXA(int /*index*/, bool /*value*/) {}
int TShareVarBase::GetValueIntA(int /*index*/) {
    return 0;
}
void TShareVarBase::SetValueIntA(int /*index*/, int /*value*/) {}
void TShareVarBase::SetValueIntXA(int /*index*/, int /*value*/) {}
float TShareVarBase::GetValueFloatA(int /*index*/) {
    return 0;
}
void TShareVarBase::SetValueFloatA(int /*index*/, float /*value*/) {}
void TShareVarBase::SetValueFloatXA(int /*index*/, float /*value*/) {}
double TShareVarBase::GetValueDoubleA(int /*index*/) {
    return 0;
}
void TShareVarBase::SetValueDoubleA(int /*index*/, double /*value*/) {}
void TShareVarBase::SetValueDoubleXA(int /*index*/, double /*value*/) {}
