#include "driver/SenseSection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Settings a first start begins with. The ratio is the centre of the activation bar's
// position 50, so the control panel shows it without writing it back.
constexpr float kDefaultFixedThreshold = 200.0f;
constexpr float kDefaultPressRatio = 0.505f;
// A touch peaks at this multiple of the fixed threshold; at rest the level stays at this
// fraction of it.
constexpr float kTouchPeak = 1.3f;
constexpr float kRestLevel = 0.03f;

} // namespace

SenseSection::SenseSection() : DriverSection("Sense") {
    itsFixedThreshold = Add("FixedThreshold", "Float", 1, true);
    Add("TouchRatio", "Float");
    itsPressRatio = Add("PressRatio", "Float", 1, true);
    Add("TrackThresh", "Float");
    Add("TouchThresh", "Float");
    itsPressThresh = Add("PressThresh", "Float");
    itsPressValue = Add("PressValue", "Float");
    Add("Advanced", "Bool");
    Add("State", "Int");
    Add("Start", "Bool");
    Add("Cancel", "Bool");
    Add("Busy", "Bool");
    Add("CountRatio0", "Float");
    Add("CountRatio1", "Float");
    Add("CountRatio2", "Float");
    itsChangeStart = Add("ChangeStart", "Bool");
    itsChangeStop = Add("ChangeStop", "Bool");
    itsChangeCancel = Add("ChangeCancel", "Bool");
    itsChangeBusy = Add("ChangeBusy", "Bool");
}

void SenseSection::OnStart(const std::string& /*iniPath*/) {
    itsFixedThreshold->SetValueFloat(kDefaultFixedThreshold);
    itsPressRatio->SetValueFloat(kDefaultPressRatio);
    itsChangeBusy->SetValueBool(false);
}

void SenseSection::LiveTick(uint32_t nowMs) {
    RunHandshake();
    SimulateTouch(nowMs);
}

// Acts on one request per tick, in the order start, keep, discard; each request is reset to
// false once acted on. Keep and discard without an open change only reset the request.
void SenseSection::RunHandshake() {
    if (itsChangeStart->GetValueBool()) {
        itsChangeStart->SetValueBool(false);
        if (!itsChangeBusy->GetValueBool()) {
            itsSavedFixedThreshold = itsFixedThreshold->GetValueFloat();
            itsSavedPressRatio = itsPressRatio->GetValueFloat();
            itsChangeBusy->SetValueBool(true);
        }
    } else if (itsChangeStop->GetValueBool()) {
        itsChangeStop->SetValueBool(false);
        if (itsChangeBusy->GetValueBool())
            itsChangeBusy->SetValueBool(false);
    } else if (itsChangeCancel->GetValueBool()) {
        itsChangeCancel->SetValueBool(false);
        if (itsChangeBusy->GetValueBool()) {
            itsFixedThreshold->SetValueFloat(itsSavedFixedThreshold);
            itsPressRatio->SetValueFloat(itsSavedPressRatio);
            itsChangeBusy->SetValueBool(false);
        }
    }
}

void SenseSection::SimulateTouch(uint32_t nowMs) {
    if (nowMs - itsLastSampleMs < kSampleMs)
        return;
    itsLastSampleMs = nowMs;
    const float fixed = itsFixedThreshold->GetValueFloat();
    itsPressThresh->SetValueFloat(fixed * itsPressRatio->GetValueFloat());
    itsPressValue->SetValueFloat(TouchLevel(nowMs % kTouchPeriodMs, fixed));
}

// A half sine wave over the touch, a low resting level between touches.
float SenseSection::TouchLevel(uint32_t phaseMs, float fixedThreshold) {
    float level = kRestLevel;
    if (phaseMs < kTouchMs) {
        const double angle = std::numbers::pi * phaseMs / kTouchMs;
        level = std::max(kRestLevel, static_cast<float>(kTouchPeak * std::sin(angle)));
    }
    return level * fixedThreshold;
}
