// The driver's identity as the control panel's version dialog shows it: its version text in its
// INI file (section "Product", key "Version"), and the nine auto-detect flags of section "Comm"
// that tell on which kinds of port the driver searches for the controller.
//
// The stand-in searches COM1 to COM8 and USB, so in live mode it raises all nine flags.
#pragma once

#include "driver/DriverSection.h"

#include <array>

class VersionSection : public DriverSection {
public:
    VersionSection();

    void OnStart(const std::string& iniPath) override;
    void LiveTick(uint32_t nowMs) override;

    static constexpr const char* kVersion = "1.0.4";
    static constexpr int kFlagCount = 9; // "AutoDetectCom1" to "AutoDetectCom8", "AutoDetectUSB"

private:
    std::array<TShareVarBase*, kFlagCount> itsFlags{};
    bool itsFlagsWritten = false;
};
