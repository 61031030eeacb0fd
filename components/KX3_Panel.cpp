#include "components/KX3_Panel.h"

#include "components/DrawHelpers.h"

using namespace tk;

TKX3_Panel::TKX3_Panel(TComponent* AOwner)
    : TCustomPanel(AOwner), itsCaptions(std::make_unique<TStringList>()) {
    itsCaptions->OnChange = Bind(this, &TKX3_Panel::DoCaptionsChanged);
}

void TKX3_Panel::SetCaptions(const TStrings* captions) {
    itsCaptions->Assign(captions);
    Invalidate();
}

void TKX3_Panel::DoCaptionsChanged(TObject* /*Sender*/) {
    Invalidate();
}

void TKX3_Panel::Paint() {
    TCustomPanel::Paint();
    DoPaint();
}

void TKX3_Panel::DoPaint() {
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetStyle(bsClear);
    quilbex::DrawCentredLines(canvas, itsCaptions.get(), GetClientWidth() / 2,
                              GetClientHeight() / 2);
}
