#include "control/KXB3_OutputA.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace tk;

TKXBW3_OutputA::TKXBW3_OutputA(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    itsShareVarPoly = new TShareVarPoly(this);
    auto add = [this](const char* name, const char* type, TNotifyEvent onChange,
                      TNotifyEvent onPoll) {
        return itsShareVarPoly->AddItem("Output", name, type, 1, std::move(onChange),
                                        std::move(onPoll), false);
    };
    itsEnabled = add("Enabled", "Bool", {}, Bind(this, &TKXBW3_OutputA::DoEnabledPoll));
    itsPressType = add("PressType", "Int", {}, Bind(this, &TKXBW3_OutputA::DoPressTypePoll));
    itsDCAvailable =
        add("DC_Available", "Bool", {}, Bind(this, &TKXBW3_OutputA::DoDCAvailablePoll));
    itsDCEnabled = add("DC_Enabled", "Bool", {}, Bind(this, &TKXBW3_OutputA::DoDCEnabledPoll));
    itsDCRadiusPixels =
        add("DC_RadiusPixels", "Int", Bind(this, &TKXBW3_OutputA::DoDCRadiusPixelsChange),
            Bind(this, &TKXBW3_OutputA::DoDCRadiusPixelsChange));
    itsRCAvailable =
        add("RC_Available", "Bool", {}, Bind(this, &TKXBW3_OutputA::DoRCAvailablePoll));
    itsRCEnabled = add("RC_Enabled", "Bool", {}, Bind(this, &TKXBW3_OutputA::DoRCEnabledPoll));
    // The store is not active yet: this shows the variable's own local value until the first
    // poll.
    DoubleClickRadiusLabel->SetCaption(std::to_string(itsDCRadiusPixels->GetValueInt()));
}

// The poll handlers bring a control into line with the store; its click handler then writes
// the value back.
void TKXBW3_OutputA::DoEnabledPoll(TObject* /*Sender*/) {
    const bool enabled = itsEnabled->GetValueBool();
    if (enabled != OutputEnabled->GetChecked())
        OutputEnabled->SetChecked(enabled);
}

// The radio group clamps the index to -1..5 and raises its click only when the selection
// moves to an item: a press type above 5 becomes 5, one below 0 clears the selection.
void TKXBW3_OutputA::DoPressTypePoll(TObject* /*Sender*/) {
    const int pressType = itsPressType->GetValueInt();
    if (pressType != PressReleaseAction->GetItemIndex())
        PressReleaseAction->SetItemIndex(pressType);
}

void TKXBW3_OutputA::DoDCAvailablePoll(TObject* /*Sender*/) {
    const bool available = itsDCAvailable->GetValueBool();
    DoubleClickEnableCheckBox->SetEnabled(available);
    DoubleClickRadiusLabel->SetEnabled(available);
    DoubleClickSpinButton->SetEnabled(available);
}

void TKXBW3_OutputA::DoDCEnabledPoll(TObject* /*Sender*/) {
    const bool enabled = itsDCEnabled->GetValueBool();
    if (enabled != DoubleClickEnableCheckBox->GetChecked())
        DoubleClickEnableCheckBox->SetChecked(enabled);
}

void TKXBW3_OutputA::DoDCRadiusPixelsChange(TObject* /*Sender*/) {
    DoubleClickRadiusLabel->SetCaption(std::to_string(itsDCRadiusPixels->GetValueInt()));
}

void TKXBW3_OutputA::DoRCAvailablePoll(TObject* /*Sender*/) {
    RightClickEnableCheckBox->SetEnabled(itsRCAvailable->GetValueBool());
}

void TKXBW3_OutputA::DoRCEnabledPoll(TObject* /*Sender*/) {
    const bool enabled = itsRCEnabled->GetValueBool();
    if (enabled != RightClickEnableCheckBox->GetChecked())
        RightClickEnableCheckBox->SetChecked(enabled);
}

// "Enabled" follows the press type: touches drive the mouse unless it is "Disabled".
void TKXBW3_OutputA::PressReleaseActionClick(TObject* /*Sender*/) {
    itsPressType->SetValueInt(PressReleaseAction->GetItemIndex());
    itsEnabled->SetValueBool(itsPressType->GetValueInt() != 0);
}

void TKXBW3_OutputA::OutputEnabledClick(TObject* /*Sender*/) {
    itsEnabled->SetValueBool(OutputEnabled->GetChecked());
}

void TKXBW3_OutputA::DoubleClickEnableCheckBoxClick(TObject* /*Sender*/) {
    itsDCEnabled->SetValueBool(DoubleClickEnableCheckBox->GetChecked());
}

void TKXBW3_OutputA::RightClickEnableCheckBoxClick(TObject* /*Sender*/) {
    itsRCEnabled->SetValueBool(RightClickEnableCheckBox->GetChecked());
}

void TKXBW3_OutputA::DoubleClickSpinButtonUpClick(TObject* /*Sender*/) {
    StepRadius(1);
}

void TKXBW3_OutputA::DoubleClickSpinButtonDownClick(TObject* /*Sender*/) {
    StepRadius(-1);
}

// The step is formed in 64 bits, so a radius at either end of the int range cannot overflow.
// The write is silent: the driver reads the new area from the variable's block.
void TKXBW3_OutputA::StepRadius(int delta) {
    const int64_t stepped = static_cast<int64_t>(itsDCRadiusPixels->GetValueInt()) + delta;
    const int radius =
        static_cast<int>(std::clamp<int64_t>(stepped, MinRadiusPixels, MaxRadiusPixels));
    DoubleClickRadiusLabel->SetCaption(std::to_string(radius));
    itsDCRadiusPixels->SetValueIntX(radius);
}
