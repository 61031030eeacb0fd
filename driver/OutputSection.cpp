#include "driver/OutputSection.h"

OutputSection::OutputSection() : DriverSection("Output") {
    itsEnabled = Add("Enabled", "Bool", 1, true);
    itsPressType = Add("PressType", "Int", 1, true);
    itsDCAvailable = Add("DC_Available", "Bool");
    itsDCEnabled = Add("DC_Enabled", "Bool", 1, true);
    itsDCRadiusPixels = Add("DC_RadiusPixels", "Int", 1, true);
    itsRCAvailable = Add("RC_Available", "Bool");
    itsRCEnabled = Add("RC_Enabled", "Bool", 1, true);
    itsRCTimeMilliSecs = Add("RC_TimeMilliSecs", "Int");
    itsRCTimer = Add("RC_Timer", "Int");
    itsRCPanel[0] = Add("RC_Panel_X", "Int", 1, true);
    itsRCPanel[1] = Add("RC_Panel_Y", "Int", 1, true);
    itsRCPanel[2] = Add("RC_Panel_W", "Int", 1, true);
    itsRCPanel[3] = Add("RC_Panel_H", "Int", 1, true);
    itsX = Add("X", "Float");
    itsY = Add("Y", "Float");
    itsButton = Add("Button", "Int");
    itsStrokes = std::make_unique<StrokeSimulator>(itsX, itsY, itsButton);
}

void OutputSection::OnStart(const std::string& /*iniPath*/) {
    itsEnabled->SetValueBool(true);
    itsPressType->SetValueInt(kDefaultPressType);
    itsDCAvailable->SetValueBool(true);
    itsDCEnabled->SetValueBool(true);
    itsDCRadiusPixels->SetValueInt(kDefaultRadiusPixels);
    itsRCAvailable->SetValueBool(true);
    itsRCEnabled->SetValueBool(false);
    itsRCTimeMilliSecs->SetValueInt(kDefaultRightClickMs);
    itsRCTimer->SetValueInt(0);
    for (int i = 0; i < 4; ++i) {
        itsRCPanel[i]->SetValueInt(kDefaultPanelBounds[i]);
    }
}

void OutputSection::LiveTick(uint32_t nowMs) {
    itsStrokes->Tick(nowMs);
    RightClickTick(nowMs);
}

// While right-click emulation is on, each simulated press starts the right-click timer: it
// counts the hold time down and reads 0 once it has run out or the finger has lifted. The
// count is written silently; the right-click window reads it on every poll.
void OutputSection::RightClickTick(uint32_t nowMs) {
    const bool held = itsRCEnabled->GetValueBool() && SimulatedTouchAt(nowMs).Pressed;
    if (held && !itsRCHeld) {
        itsRCPressMs = nowMs;
    }
    itsRCHeld = held;
    int left = 0;
    if (held) {
        const int holdMs = itsRCTimeMilliSecs->GetValueInt();
        const auto heldMs = static_cast<int64_t>(nowMs - itsRCPressMs);
        left = heldMs < holdMs ? static_cast<int>(holdMs - heldMs) : 0;
    }
    if (left != itsRCTimer->GetValueInt()) {
        itsRCTimer->SetValueIntX(left);
    }
}
