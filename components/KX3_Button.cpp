#include "components/KX3_Button.h"

#include "components/DrawHelpers.h"

using namespace tk;

TKX3_Button::TKX3_Button(TComponent* AOwner)
    : TSpeedButton(AOwner), itsCaptions(std::make_unique<TStringList>()) {
    itsCaptions->OnChange = Bind(this, &TKX3_Button::DoCaptionsChanged);
}

void TKX3_Button::SetCaptions(const TStrings* captions) {
    itsCaptions->Assign(captions);
    Invalidate();
}

void TKX3_Button::DoCaptionsChanged(TObject* /*Sender*/) {
    Invalidate();
}

void TKX3_Button::Paint() {
    TSpeedButton::Paint();
    DoPaint();
}

void TKX3_Button::DoPaint() {
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetStyle(bsClear);
    quilbex::DrawCentredLines(canvas, itsCaptions.get(), GetClientWidth() / 2,
                              GetClientHeight() / 2);
}
