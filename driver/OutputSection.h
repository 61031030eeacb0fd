// Section "Output": mouse emulation and the right-click window.
//
// The mouse settings (press type, double-click and right-click emulation) are settings the
// driver keeps and saves; it reports double-click and right-click emulation as available.
#pragma once

#include "driver/DriverSection.h"
#include "driver/TouchSimulation.h"

#include <memory>

class OutputSection : public DriverSection {
public:
    OutputSection();

    void OnStart(const std::string& iniPath) override;
    // Live: simulated strokes for the touch monitor.
    void LiveTick(uint32_t nowMs) override;

    // Settings a first start begins with.
    static constexpr int kDefaultPressType = 2; // activate on touch
    static constexpr int kDefaultRadiusPixels = 25;
    // How long a press must be held for a right click.
    static constexpr int kDefaultRightClickMs = 1000;
    // Where the right-click window first appears: left, top, width, height.
    static constexpr int kDefaultPanelBounds[4] = {15, 76, 180, 100};

private:
    void RightClickTick(uint32_t nowMs);

    TShareVarBase* itsEnabled;
    TShareVarBase* itsPressType;
    TShareVarBase* itsDCAvailable;
    TShareVarBase* itsDCEnabled;
    TShareVarBase* itsDCRadiusPixels;
    TShareVarBase* itsRCAvailable;
    TShareVarBase* itsRCEnabled;
    // Right-click emulation: the hold time, the running timer (milliseconds left, above 0
    // while a held press counts down) and the right-click window's bounds, which are saved
    // so the window comes back where the user left it.
    TShareVarBase* itsRCTimeMilliSecs;
    TShareVarBase* itsRCTimer;
    TShareVarBase* itsRCPanel[4];
    bool itsRCHeld = false;
    uint32_t itsRCPressMs = 0;
    // The touch monitor's position and touch state; not settings, so not saved.
    TShareVarBase* itsX;
    TShareVarBase* itsY;
    TShareVarBase* itsButton;
    std::unique_ptr<StrokeSimulator> itsStrokes;
};
