#include "components/KX3_Ruler.h"

#include <cstdlib>
#include <string>

using namespace tk;

TKX3_Ruler::TKX3_Ruler(TComponent* AOwner)
    : TCustomPanel(AOwner), itsPaintBox(new TPaintBox(this)) {
    itsPaintBox->SetParent(this);
    itsPaintBox->SetAlign(alClient);
}

void TKX3_Ruler::SetMin(int value) {
    itsMin = value;
    Invalidate();
}

void TKX3_Ruler::SetMax(int value) {
    itsMax = value;
    Invalidate();
}

void TKX3_Ruler::SetShowTick(bool value) {
    itsShowTick = value;
    Invalidate();
}

void TKX3_Ruler::SetShowPlus(bool value) {
    itsShowPlus = value;
    Invalidate();
}

void TKX3_Ruler::SetShowMinus(bool value) {
    itsShowMinus = value;
    Invalidate();
}

void TKX3_Ruler::SetEndSize(float value) {
    if (!(value >= 0.0f)) {
        value = 0.0f;
    }
    if (value > 1.0f) {
        value = 1.0f;
    }
    itsEndSize = value;
    Invalidate();
}

void TKX3_Ruler::Paint() {
    TCustomPanel::Paint();
    DoPaint();
}

void TKX3_Ruler::Resize() {
    TCustomPanel::Resize();
    DoPaint();
}

void TKX3_Ruler::DoPaint() {
    const int diff = itsMax - itsMin;
    const int n = std::abs(diff);
    // The 0.01 keeps the divisor above zero for a single number with no end inset.
    const float spacing = static_cast<float>(GetWidth() / (n + 2.0 * itsEndSize + 0.01));
    const int step = diff >= 0 ? 1 : -1;
    float x = spacing * itsEndSize;

    TCanvas* canvas = itsPaintBox->GetCanvas();
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(Rect(0, 0, itsPaintBox->GetWidth(), itsPaintBox->GetHeight()));

    int value = itsMin;
    for (int i = 0; i <= n; ++i) {
        DoPaintNumber(value, x);
        x += spacing;
        value += step;
    }
}

void TKX3_Ruler::DoPaintNumber(int value, float x) {
    std::string text = std::to_string(std::abs(value));
    if (value > 0 && itsShowPlus) {
        text = "+" + text;
    } else if (value < 0 && itsShowMinus) {
        text = "-" + text;
    }
    TCanvas* canvas = itsPaintBox->GetCanvas();
    const TSize size = canvas->TextExtent(text);
    // The brush is still solid in the ruler's colour: each number covers whatever part of its
    // neighbour it overlaps.
    canvas->TextOut(static_cast<int>(x) - size.cx / 2, GetHeight() / 2 - size.cy / 2, text);
}
