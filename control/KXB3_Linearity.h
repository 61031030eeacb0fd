// The line smoothing frame under the monitor trace: the driver's inner smoothing, 0 to 1, on a
// track bar in the group "Smooth Line", shown only while its "Advanced" switch is on.
#pragma once

#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

class TKX3_Ruler;

class TKXBW3_Linearity : public tk::TFrame {
public:
    explicit TKXBW3_Linearity(tk::TComponent* AOwner);

    // Per-tick step: brings the bar, the switch and the group into line with the driver.
    void SlowTick();

    void DeWiggleInnerChange(tk::TObject* Sender);
    void LinearityAdvancedClick(tk::TObject* Sender);

    tk::TGroupBox* GroupBox2;
    tk::TCheckBox* LinearityAdvanced;
    tk::TGroupBox* LinearityGroupBox;
    tk::TTrackBar* DeWiggleInner;
    TKX3_Ruler* KX3_Ruler2;

private:
    void CreateLayout();

    TShareVarPoly* itsShareVarPoly;
    TShareVarBase* itsInner;
    TShareVarBase* itsOuter;
    TShareVarBase* itsAdvanced;
};
