// Section "Comm" and the driver priority of section "Status": the link to the touch controller.
//
// Live mode simulates the controller search: for the first seconds "AutoDetectBusy" is true
// while "Port" walks through the serial ports and USB; then the controller is found on USB
// with a plausible scan rate, sensor size and data loss. A requested priority
// ("ReqPriorityLevel" 0 or 1) is confirmed in "PriorityLevel". The Reset command searches again.
#pragma once

#include "driver/DriverSection.h"

class CommSection : public DriverSection {
public:
    CommSection();

    void OnStart(const std::string& iniPath) override;
    void LiveTick(uint32_t nowMs) override;
    void OnReset() override;

    // How long a search lasts and how long each port is tried.
    static constexpr uint32_t kSearchMs = 3000;
    static constexpr uint32_t kPortStepMs = 330;
    static constexpr int kUsbPort = 9;

private:
    void Search(uint32_t elapsedMs);
    void ReportLink(uint32_t nowMs);
    void ConfirmPriority();
    static void SetIntIfDiffers(TShareVarBase* var, int value);
    static void SetBoolIfDiffers(TShareVarBase* var, bool value);

    TShareVarBase* itsPort;
    TShareVarBase* itsBaud;
    TShareVarBase* itsCycleSize;
    TShareVarBase* itsDevOpen;
    TShareVarBase* itsActive;
    TShareVarBase* itsValid;
    TShareVarBase* itsLength;
    TShareVarBase* itsLostFiveMins;
    TShareVarBase* itsRate;
    TShareVarBase* itsAutoDetectBusy;
    TShareVarBase* itsReqPriorityLevel;
    TShareVarBase* itsPriorityLevel;

    bool itsSearching = false;
    bool itsFound = false;
    uint32_t itsSearchStartMs = 0;
    uint32_t itsLastRateMs = 0;
};
