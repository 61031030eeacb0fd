// Section "DeWiggle": the line smoothing, settings the driver keeps and saves.
#pragma once

#include "driver/DriverSection.h"

class DeWiggleSection : public DriverSection {
public:
    DeWiggleSection();

    void OnStart(const std::string& iniPath) override;

    // Settings a first start begins with: the inner smoothing at the centre of the smoothing
    // bar's position 50, so the control panel shows it without writing it back.
    static constexpr float kDefaultInner = 0.505f;
    static constexpr float kDefaultOuter = 0.5f;

private:
    TShareVarBase* itsInner;
    TShareVarBase* itsOuter;
    TShareVarBase* itsAdvanced;
};
