// The "Monitor" page: traces the touches the driver reports ("X", "Y" and "Button" of section
// "Output") on an X/Y gauge, and clears the trace on "Clear Monitor" or once no press has come
// for 60 ticks of an active page.
#pragma once

#include "components/KX3_Button.h"
#include "components/KX3_GaugeXY.h"
#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

class TKXBW3_Monitor : public tk::TFrame {
public:
    // Ticks of an active page after the last press until the trace is cleared.
    static constexpr int kClearTicks = 60;

    explicit TKXBW3_Monitor(tk::TComponent* AOwner);
    ~TKXBW3_Monitor() override;

    void DoButtonChange(tk::TObject* Sender);
    // Per-tick step: the clear countdown, which stands still while the page is disabled.
    void SlowTick();
    void ClearButtonClick(tk::TObject* Sender);

    int GetClearCountdown() const { return ClearCountdown; }

    tk::TPanel* ButtonPanel;
    TKX3_Button* ClearButton;
    tk::TPanel* GraphPanel;
    TKX3_GaugeXY* KX3_GaugeXY1;

private:
    void CreateLayout();
    void CreateVariables();

    TShareVarPoly* itsShareVarPoly;
    TShareVarBase* itsX;
    TShareVarBase* itsY;
    TShareVarBase* itsButton;
    int ClearCountdown = 0;
};
