// Section "Sense": the touch thresholds, the handshake that guards their change, and the
// applied touch level.
//
// Live mode runs the handshake: "ChangeStart" opens a change (the thresholds are remembered and
// "ChangeBusy" is held true), "ChangeStop" keeps the change and "ChangeCancel" restores the
// remembered thresholds; the driver resets each request to false once it has acted on it. It
// also simulates a touch every few seconds on "PressValue", with "PressThresh" as the level at
// which a touch activates (the fixed threshold scaled by the activation ratio).
#pragma once

#include "driver/DriverSection.h"

class SenseSection : public DriverSection {
public:
    SenseSection();

    void OnStart(const std::string& iniPath) override;
    void LiveTick(uint32_t nowMs) override;

    // One simulated touch lasts kTouchMs of every kTouchPeriodMs; values go out every
    // kSampleMs.
    static constexpr uint32_t kTouchPeriodMs = 4000;
    static constexpr uint32_t kTouchMs = 1500;
    static constexpr uint32_t kSampleMs = 100;

    // The simulated touch level at a time within the touch period, for a fixed threshold.
    static float TouchLevel(uint32_t phaseMs, float fixedThreshold);

private:
    void RunHandshake();
    void SimulateTouch(uint32_t nowMs);

    TShareVarBase* itsFixedThreshold;
    TShareVarBase* itsPressRatio;
    TShareVarBase* itsPressThresh;
    TShareVarBase* itsPressValue;
    TShareVarBase* itsChangeStart;
    TShareVarBase* itsChangeStop;
    TShareVarBase* itsChangeCancel;
    TShareVarBase* itsChangeBusy;

    float itsSavedFixedThreshold = 0;
    float itsSavedPressRatio = 0;
    uint32_t itsLastSampleMs = 0;
};
