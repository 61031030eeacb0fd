// Section "Edge": the gain at each edge of the screen, settings the driver keeps and saves.
#pragma once

#include "driver/DriverSection.h"

class EdgeSection : public DriverSection {
public:
    EdgeSection();

    void OnStart(const std::string& iniPath) override;

    // Settings a first start begins with: gain 1 as the control panel writes it back from
    // the middle of each bar (the centre of position 50).
    static constexpr float kDefaultTopLeftGain = 0.99f;
    static constexpr float kDefaultBottomRightGain = 1.01f;

private:
    TShareVarBase* itsTopGain;
    TShareVarBase* itsBottomGain;
    TShareVarBase* itsLeftGain;
    TShareVarBase* itsRightGain;
};
