#include "components/KX3_GaugeXY.h"

#include "components/DrawHelpers.h"

#include <cmath>

using namespace tk;

namespace {

TColor TypeColour(int type) {
    switch (type) {
    case 0:
        return clWhite;
    case 1:
        return clGreen;
    case 2:
        return clRed;
    default:
        return clBlack;
    }
}

} // namespace

TKX3_GaugeXY::TKX3_GaugeXY(TComponent* AOwner)
    : TCustomPanel(AOwner), itsPaintBox(new TPaintBox(this)) {
    itsPaintBox->SetParent(this);
    itsPaintBox->SetAlign(alClient);
}

void TKX3_GaugeXY::SetTrace(bool value) {
    if (value != itsTrace) {
        itsTrace = value;
        Invalidate();
    }
}

void TKX3_GaugeXY::Input(TObject* /*Sender*/, float x, float y, int type) {
    // The point comes from the store; one that is nowhere (infinite or not a number) would
    // smear a line across the face and leave the next stroke starting from nowhere.
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    if (std::fabs(itsLastX - x) < 0.001f && std::fabs(itsLastY - y) < 0.001f &&
        type == itsLastType) {
        return;
    }
    if (!itsTrace) {
        Draw(itsLastX, itsLastY, 0);
        Draw(x, y, type);
    } else if (type == itsLastType && type > 0) {
        Draw(itsLastX, itsLastY, x, y, type);
    }
    itsLastX = x;
    itsLastY = y;
    itsLastType = type;
}

void TKX3_GaugeXY::Clear(TObject* /*Sender*/) {
    itsLastType = 0;
    Invalidate();
}

void TKX3_GaugeXY::ReDraw() {
    TCanvas* canvas = itsPaintBox->GetCanvas();
    canvas->GetBrush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, GetWidth(), GetHeight()));
    Draw(itsLastX, itsLastY, itsLastType);
}

void TKX3_GaugeXY::Draw(float x, float y, int type) {
    // In single precision, like the trace line, so a stroke ends on its last point's dot.
    const int px = quilbex::TruncPixel(static_cast<float>(GetClientWidth()) * x);
    const int py = quilbex::TruncPixel(static_cast<float>(GetClientHeight()) * y);
    // A stroke of length zero with a wide pen is a round dot of the pen's width.
    Stroke(px, py, px, py, GetClientWidth() / 100, type);
}

void TKX3_GaugeXY::Draw(float x1, float y1, float x2, float y2, int type) {
    const auto w = static_cast<float>(GetClientWidth());
    const auto h = static_cast<float>(GetClientHeight());
    Stroke(quilbex::TruncPixel(x1 * w), quilbex::TruncPixel(y1 * h), quilbex::TruncPixel(x2 * w),
           quilbex::TruncPixel(y2 * h), 1, type);
}

void TKX3_GaugeXY::Paint() {
    TCustomPanel::Paint();
    ReDraw();
}

void TKX3_GaugeXY::Resize() {
    TCustomPanel::Resize();
    ReDraw();
}

void TKX3_GaugeXY::Stroke(int x1, int y1, int x2, int y2, int penWidth, int type) {
    // The paint box lies over the client area, inside the panel's bevel; a point is given in
    // client coordinates, so it is moved by the paint box's offset to land in the same place.
    const int dx = itsPaintBox->GetLeft();
    const int dy = itsPaintBox->GetTop();
    TCanvas* canvas = itsPaintBox->GetCanvas();
    canvas->GetPen()->SetWidth(penWidth);
    canvas->GetPen()->SetColor(TypeColour(type));
    canvas->GetBrush()->SetColor(TypeColour(type));
    canvas->MoveTo(x1 - dx, y1 - dy);
    canvas->LineTo(x2 - dx, y2 - dy);
    canvas->GetPen()->SetWidth(1);
    canvas->GetPen()->SetColor(clWhite);
    canvas->GetBrush()->SetColor(clBlack);
}
