// The store component on a program's main form: activates and deactivates the process's group
// manager and forwards its settings, counts and INI functions. It holds no store state itself.
#pragma once

#include "store/ShareManBase.h"
#include "toolkit/Classes.h"

#include <string>

class TShareManager : public tk::TComponent {
public:
    explicit TShareManager(tk::TComponent* AOwner);
    ~TShareManager() override;

    // The manager singleton (created on first use), or null while designed in a form designer.
    TShareManBase* GetShareManBase() const;

    bool GetActive() const;
    // Activates or deactivates the store, then copies this component's OnMonitor into the
    // manager.
    void SetActive(bool value);
    std::string GetGrpName() const;
    void SetGrpName(const std::string& value);
    bool GetMaster() const;
    void SetMaster(bool value);
    std::string GetFileName() const;
    void SetFileName(const std::string& value);
    unsigned long GetInterval() const;
    void SetInterval(unsigned long value);
    bool GetDirty() const;
    void SetDirty(bool value);
    int GetRegisterCount() const;
    int GetSlaveCount() const;
    TMonitorEvent GetOnMonitor() const { return itsOnMonitor; }
    void SetOnMonitor(const TMonitorEvent& value);

    void LoadIni();
    void SaveIni();
    int TestIni();
    void LoadIni(tk::TMemIniFile* ini);
    void SaveIni(tk::TMemIniFile* ini);
    int TestIni(tk::TMemIniFile* ini);
    void SaveAll(const std::string& fileName);
    void SaveAll(tk::TMemIniFile* ini);

private:
    TMonitorEvent itsOnMonitor;
};
