#include "control/KXB3_SenseA.h"

#include "components/KX3_Graph.h"
#include "control/KXB3_Mapping.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

using namespace tk;

namespace {

// A position must stay within 0.5 of the value it stands for.
constexpr float kTolerance = 0.5f;

} // namespace

TKXBW3_SenseA::TKXBW3_SenseA(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    ThresholdShown = false;
    itsShareVarPoly = new TShareVarPoly(this);
    auto add = [this](const char* name, const char* type, TNotifyEvent onChange = {},
                      TNotifyEvent onPoll = {}) {
        return itsShareVarPoly->AddItem("Sense", name, type, 1, std::move(onChange),
                                        std::move(onPoll), false);
    };
    itsFixedThreshold = add("FixedThreshold", "Float");
    add("TouchRatio", "Float");
    itsPressRatio = add("PressRatio", "Float");
    add("TrackThresh", "Float");
    add("TouchThresh", "Float");
    itsPressThresh = add("PressThresh", "Float");
    itsPressValue = add("PressValue", "Float", Bind(this, &TKXBW3_SenseA::DoPressValueChange));
    add("Advanced", "Bool");
    add("State", "Int");
    add("Start", "Bool");
    add("Cancel", "Bool");
    add("Busy", "Bool");
    add("CountRatio0", "Float");
    add("CountRatio1", "Float");
    add("CountRatio2", "Float");
    itsChangeStart = add("ChangeStart", "Bool");
    itsChangeStop = add("ChangeStop", "Bool");
    itsChangeCancel = add("ChangeCancel", "Bool");
    itsChangeBusy = add("ChangeBusy", "Bool", {}, Bind(this, &TKXBW3_SenseA::DoChangeBusyPoll));
}

void TKXBW3_SenseA::SlowTick() {
    ShowFixedThreshold();
    ShowPressRatio();
}

float TKXBW3_SenseA::ShownThreshold() const {
    return CentrePosition(FixedThreshold->GetMax() - FixedThreshold->GetPosition());
}

void TKXBW3_SenseA::SetGraphsMax(float value) {
    KX3_GraphPressThresh->SetMax(value);
    KX3_GraphPressValue->SetMax(value);
}

// Moves the bar only when the threshold left the interval its position stands for, and always
// on the first tick. The graphs' scale ends at the threshold.
void TKXBW3_SenseA::ShowFixedThreshold() {
    const float v = itsFixedThreshold->GetValueFloat();
    if (std::fabs(v - ShownThreshold()) <= kTolerance && ThresholdShown)
        return;
    ThresholdShown = true;
    const int32_t a = FloorPosition(v);
    // Formed in 64 bits: a threshold far below zero floors to the bottom of the int range.
    const int64_t position = static_cast<int64_t>(FixedThreshold->GetMax()) - a;
    FixedThreshold->SetPosition(static_cast<int>(std::clamp<int64_t>(position, INT_MIN, INT_MAX)));
    SetGraphsMax(static_cast<float>(a));
}

void TKXBW3_SenseA::ShowPressRatio() {
    const int p = FloorPosition(MapRange(itsPressRatio->GetValueFloat(), 0, 1, 0, 100));
    if (p != PressRatio->GetPosition())
        PressRatio->SetPosition(p);
}

// Writes the bar's value only when the stored threshold lies outside its interval, so a bar
// that follows the driver writes nothing back.
void TKXBW3_SenseA::FixedThresholdChange(TObject* /*Sender*/) {
    const float t = ShownThreshold();
    if (std::fabs(itsFixedThreshold->GetValueFloat() - t) > kTolerance)
        itsFixedThreshold->SetValueFloat(t);
    SetGraphsMax(t);
}

void TKXBW3_SenseA::PressRatioChange(TObject* /*Sender*/) {
    itsPressRatio->SetValueFloat(MapRange(CentrePosition(PressRatio->GetPosition()), 0, 100, 0, 1));
}

void TKXBW3_SenseA::ChangeSettingsButtonClick(TObject* /*Sender*/) {
    itsChangeStart->SetValueBool(true);
}

void TKXBW3_SenseA::KeepChangesButtonClick(TObject* /*Sender*/) {
    itsChangeStop->SetValueBool(true);
}

void TKXBW3_SenseA::DiscardChangesButtonClick(TObject* /*Sender*/) {
    itsChangeCancel->SetValueBool(true);
}

// The live level is drawn only while the page is on show.
void TKXBW3_SenseA::DoPressValueChange(TObject* /*Sender*/) {
    if (!GetEnabled())
        return;
    const float thresh = itsPressThresh->GetValueFloat();
    const float value = itsPressValue->GetValueFloat();
    KX3_GraphPressThresh->Input(this, 1, &thresh);
    KX3_GraphPressValue->Input(this, 1, &value);
}

void TKXBW3_SenseA::DoChangeBusyPoll(TObject* /*Sender*/) {
    const bool busy = itsChangeBusy->GetValueBool();
    FixedThreshold->SetEnabled(busy);
    PressRatio->SetEnabled(busy);
    KeepChangesButton->SetEnabled(busy);
    DiscardChangesButton->SetEnabled(busy);
}
