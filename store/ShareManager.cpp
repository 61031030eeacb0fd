#include "store/ShareManager.h"

TShareManager::TShareManager(tk::TComponent* AOwner) : tk::TComponent(AOwner) {}

TShareManager::~TShareManager() {
    itsOnMonitor = nullptr;
}

TShareManBase* TShareManager::GetShareManBase() const {
    if (ComponentState() == tk::TComponentState::Designing) {
        return nullptr;
    }
    return TShareManBase::GetShareManBase();
}

bool TShareManager::GetActive() const {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr && manager->GetActive();
}

void TShareManager::SetActive(bool value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetActive(value);
        // An OnActiveChange handler may have deleted the last variable, and the manager with it.
        if (TShareManBase* current = GetShareManBase()) {
            current->SetOnMonitor(itsOnMonitor);
        }
    }
}

std::string TShareManager::GetGrpName() const {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->GetGrpName() : std::string();
}

void TShareManager::SetGrpName(const std::string& value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetGrpName(value);
    }
}

bool TShareManager::GetMaster() const {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr && manager->GetMaster();
}

void TShareManager::SetMaster(bool value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetMaster(value);
    }
}

std::string TShareManager::GetFileName() const {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->GetFileName() : std::string();
}

void TShareManager::SetFileName(const std::string& value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetFileName(value);
    }
}

unsigned long TShareManager::GetInterval() const {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->GetInterval() : 0;
}

void TShareManager::SetInterval(unsigned long value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetInterval(value);
    }
}

bool TShareManager::GetDirty() const {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr && manager->GetDirty();
}

void TShareManager::SetDirty(bool value) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetDirty(value);
    }
}

int TShareManager::GetRegisterCount() const {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->GetRegisterCount() : 0;
}

int TShareManager::GetSlaveCount() const {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->GetSlaveCount() : 0;
}

void TShareManager::SetOnMonitor(const TMonitorEvent& value) {
    itsOnMonitor = value;
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SetOnMonitor(itsOnMonitor);
    }
}

void TShareManager::LoadIni() {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->LoadIni();
    }
}

void TShareManager::SaveIni() {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SaveIni();
    }
}

int TShareManager::TestIni() {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->TestIni() : 0;
}

void TShareManager::LoadIni(tk::TMemIniFile* ini) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->LoadIni(ini);
    }
}

void TShareManager::SaveIni(tk::TMemIniFile* ini) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SaveIni(ini);
    }
}

int TShareManager::TestIni(tk::TMemIniFile* ini) {
    TShareManBase* manager = GetShareManBase();
    return manager != nullptr ? manager->TestIni(ini) : 0;
}

void TShareManager::SaveAll(const std::string& fileName) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SaveAll(fileName);
    }
}

void TShareManager::SaveAll(tk::TMemIniFile* ini) {
    if (TShareManBase* manager = GetShareManBase()) {
        manager->SaveAll(ini);
    }
}
