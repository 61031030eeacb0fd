// The frame of the "Mouse" tab: how touches drive the mouse, double-click emulation with its
// area, and right-click emulation. It follows the driver through poll handlers and writes
// through its controls' click handlers; it has no per-tick step.
#pragma once

#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"
#include "toolkit/Spin.h"

class TKXBW3_OutputA : public tk::TFrame {
public:
    explicit TKXBW3_OutputA(tk::TComponent* AOwner);

    // Store events, on every poll.
    void DoEnabledPoll(tk::TObject* Sender);
    void DoPressTypePoll(tk::TObject* Sender);
    void DoDCAvailablePoll(tk::TObject* Sender);
    void DoDCEnabledPoll(tk::TObject* Sender);
    void DoDCRadiusPixelsChange(tk::TObject* Sender);
    void DoRCAvailablePoll(tk::TObject* Sender);
    void DoRCEnabledPoll(tk::TObject* Sender);

    void PressReleaseActionClick(tk::TObject* Sender);
    void OutputEnabledClick(tk::TObject* Sender);
    void DoubleClickEnableCheckBoxClick(tk::TObject* Sender);
    void DoubleClickSpinButtonUpClick(tk::TObject* Sender);
    void DoubleClickSpinButtonDownClick(tk::TObject* Sender);
    void RightClickEnableCheckBoxClick(tk::TObject* Sender);

    // The double-click area is kept within these bounds, in pixels.
    static constexpr int MinRadiusPixels = 10;
    static constexpr int MaxRadiusPixels = 100;

    tk::TPanel* Panel1;
    tk::TRadioGroup* PressReleaseAction;
    tk::TGroupBox* GroupBox1;
    tk::TCheckBox* OutputEnabled;
    tk::TGroupBox* DoubleClickGroupBox;
    tk::TCheckBox* DoubleClickEnableCheckBox;
    tk::TLabel* Label1;
    tk::TLabel* DoubleClickRadiusLabel;
    tk::TCSpinButton* DoubleClickSpinButton;
    tk::TGroupBox* RightClickGroupBox;
    tk::TCheckBox* RightClickEnableCheckBox;

private:
    void CreateLayout();
    // Steps the double-click area by delta, keeps it within bounds, shows it and writes it
    // silently.
    void StepRadius(int delta);

    TShareVarPoly* itsShareVarPoly;
    TShareVarBase* itsEnabled;
    TShareVarBase* itsPressType;
    TShareVarBase* itsDCAvailable;
    TShareVarBase* itsDCEnabled;
    TShareVarBase* itsDCRadiusPixels;
    TShareVarBase* itsRCAvailable;
    TShareVarBase* itsRCEnabled;
};
