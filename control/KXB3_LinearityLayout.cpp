// The line smoothing frame's components and their properties.
#include "control/KXB3_Linearity.h"

#include "components/KX3_Ruler.h"

using namespace tk;

void TKXBW3_Linearity::CreateLayout() {
    SetBounds(0, 0, 594, 78);

    GroupBox2 = new TGroupBox(this);
    GroupBox2->SetParent(this);
    GroupBox2->SetWidth(80);
    GroupBox2->SetAlign(alLeft);

    LinearityAdvanced = new TCheckBox(this);
    LinearityAdvanced->SetParent(GroupBox2);
    // As wide as the group's frame allows, so that the caption shows whole beside the box.
    LinearityAdvanced->SetBounds(4, 30, 74, 17);
    LinearityAdvanced->SetCaption("Advanced");

    LinearityGroupBox = new TGroupBox(this);
    LinearityGroupBox->SetParent(this);
    LinearityGroupBox->SetAlign(alClient);
    LinearityGroupBox->SetCaption("Smooth Line");

    DeWiggleInner = new TTrackBar(this);
    DeWiggleInner->SetParent(LinearityGroupBox);
    DeWiggleInner->SetBounds(0, 0, 500, 32);
    DeWiggleInner->SetAlign(alTop);
    DeWiggleInner->SetMin(0);
    DeWiggleInner->SetMax(100);
    DeWiggleInner->SetFrequency(10);
    DeWiggleInner->SetTickStyle(tsNone);

    KX3_Ruler2 = new TKX3_Ruler(this);
    KX3_Ruler2->SetParent(LinearityGroupBox);
    KX3_Ruler2->SetBounds(0, 32, 500, 25);
    KX3_Ruler2->SetAlign(alTop);
    KX3_Ruler2->SetBevelOuter(bvNone);
    KX3_Ruler2->SetMin(-5);
    KX3_Ruler2->SetMax(5);
    KX3_Ruler2->SetShowPlus(true);
    KX3_Ruler2->SetShowMinus(true);
    KX3_Ruler2->SetEndSize(0.2f);
    KX3_Ruler2->GetFont()->SetStyle(fsItalic);

    DeWiggleInner->OnChange = Bind(this, &TKXBW3_Linearity::DeWiggleInnerChange);
    LinearityAdvanced->OnClick = Bind(this, &TKXBW3_Linearity::LinearityAdvancedClick);
}
