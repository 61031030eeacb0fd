#include "components/KX3_GraphItem.h"

#include "components/DrawHelpers.h"

#include <cmath>

using namespace tk;

TKX3_GraphItem::TKX3_GraphItem(TComponent* AOwner)
    : TCustomPanel(AOwner), itsPaintBox(new TPaintBox(this)) {
    itsPaintBox->SetParent(this);
    itsPaintBox->SetAlign(alClient);
}

void TKX3_GraphItem::SetMin(float value) {
    itsMin = value;
    ReDraw();
}

void TKX3_GraphItem::SetMax(float value) {
    itsMax = value;
    ReDraw();
}

void TKX3_GraphItem::SetPosition(float value) {
    if (std::fabs(itsPosition - value) >= 0.001f) {
        Draw(itsPosition, clWhite);
        Draw(value, clRed);
        itsPosition = value;
    }
}

void TKX3_GraphItem::ReDraw() {
    TCanvas* canvas = itsPaintBox->GetCanvas();
    canvas->GetBrush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, GetWidth(), GetHeight()));
    Draw(itsPosition, clRed);
}

void TKX3_GraphItem::Draw(float x, TColor colour) {
    const int width = GetWidth();
    if (width < 2) {
        return;
    }
    const float range = itsMax - itsMin;
    if (std::fabs(range) < 0.001f) {
        return;
    }
    // The x comes from the item's own width and is drawn in the paint box's coordinates; a
    // value outside Min..Max lands outside the face and is clipped.
    const int p = quilbex::TruncPixel(static_cast<long double>(width) *
                                      (static_cast<long double>(x) - itsMin) / range);
    TCanvas* canvas = itsPaintBox->GetCanvas();
    canvas->GetPen()->SetColor(colour);
    canvas->MoveTo(p, 0);
    canvas->LineTo(p, GetHeight());
    canvas->GetPen()->SetColor(clBlack);
}

void TKX3_GraphItem::Paint() {
    TCustomPanel::Paint();
    ReDraw();
}

void TKX3_GraphItem::Resize() {
    TCustomPanel::Resize();
    ReDraw();
}
