// TKX3_OutputPanelA: binds the form it sits on to the right-click variables of the store.
//
// Once a second it shows the form only while the driver is present and offers right-click
// emulation, the user has it switched on and no calibration is busy; while shown it keeps the
// form topmost and on the screen and publishes its bounds silently. It follows bounds that
// other programs announce, colours the form lime while the driver's right-click timer runs,
// and switches right-click emulation off when the user closes the form.
#pragma once

#include "toolkit/Classes.h"

class TShareVarBase;
class TShareVarPoly;

namespace tk {
class TForm;
class TTimer;
} // namespace tk

class TKX3_OutputPanelA : public tk::TComponent {
public:
    explicit TKX3_OutputPanelA(tk::TComponent* AOwner);
    ~TKX3_OutputPanelA() override;

    // The one-second tick: visibility, topmost, screen clamp, bounds published.
    void DoPoll(tk::TObject* Sender);
    // Moves and sizes the form to the bounds held in the store when they differ from its own.
    void DoPositionChange(tk::TObject* Sender);
    // Applies the stored bounds once, right after the store has been activated.
    void DoSyncPosition(tk::TObject* Sender);
    // Colours the form from the driver's right-click timer.
    void DoRCTimerPoll(tk::TObject* Sender);
    // Called when the user closes the form: switches right-click emulation off when the
    // form was in use.
    void DoClose(tk::TObject* Sender);

private:
    void KeepOnScreen();
    void PublishBounds();

    TShareVarPoly* itsShareVarPoly;
    TShareVarBase* itsRC_Available;
    TShareVarBase* itsRC_Enabled;
    TShareVarBase* itsRC_TimeMilliSecs;
    TShareVarBase* itsRC_Timer;
    TShareVarBase* itsRC_Panel_X;
    TShareVarBase* itsRC_Panel_Y;
    TShareVarBase* itsRC_Panel_W;
    TShareVarBase* itsRC_Panel_H;
    TShareVarBase* itsCalibBusy;
    tk::TForm* itsForm;
    tk::TTimer* itsTimer;
};
