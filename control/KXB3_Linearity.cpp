#include "control/KXB3_Linearity.h"

#include "control/KXB3_Mapping.h"

using namespace tk;

TKXBW3_Linearity::TKXBW3_Linearity(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    itsShareVarPoly = new TShareVarPoly(this);
    itsInner = itsShareVarPoly->AddItem("DeWiggle", "Inner", "Float", 1, {}, {}, false);
    // Kept for the driver only; this page never reads or writes it.
    itsOuter = itsShareVarPoly->AddItem("DeWiggle", "Outer", "Float", 1, {}, {}, false);
    itsAdvanced = itsShareVarPoly->AddItem("DeWiggle", "Advanced", "Bool", 1, {}, {}, false);
}

void TKXBW3_Linearity::SlowTick() {
    const int p = FloorPosition(MapRange(itsInner->GetValueFloat(), 0, 1, 0, 100));
    const bool advanced = itsAdvanced->GetValueBool();
    if (p != DeWiggleInner->GetPosition())
        DeWiggleInner->SetPosition(p);
    LinearityAdvanced->SetChecked(advanced);
    LinearityGroupBox->SetVisible(advanced);
}

void TKXBW3_Linearity::DeWiggleInnerChange(TObject* /*Sender*/) {
    itsInner->SetValueFloat(MapRange(CentrePosition(DeWiggleInner->GetPosition()), 0, 100, 0, 1));
}

void TKXBW3_Linearity::LinearityAdvancedClick(TObject* /*Sender*/) {
    itsAdvanced->SetValueBool(LinearityAdvanced->GetChecked());
}
