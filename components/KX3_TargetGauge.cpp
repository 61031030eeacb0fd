#include "components/KX3_TargetGauge.h"

#include "components/DrawHelpers.h"

#include <algorithm>

using namespace tk;

namespace {

// cos 45°: where the diagonal cross-hair lines meet the outline.
constexpr double kDiagonal = 0.7071067811865476;

} // namespace

TKX3_TargetGauge::TKX3_TargetGauge(TComponent* AOwner)
    : TCustomPanel(AOwner), itsCaptions(std::make_unique<TStringList>()),
      itsPictureBitmap(std::make_unique<TBitmap>()), itsBuffer(std::make_unique<TBitmap>()),
      itsPaintBox(new TPaintBox(this)) {
    itsCaptions->OnChange = Bind(this, &TKX3_TargetGauge::DoCaptionsChanged);
    itsPaintBox->SetParent(this);
    itsPaintBox->SetAlign(alClient);
    itsPaintBox->OnClick = Bind(this, &TKX3_TargetGauge::DoClick);
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
}

void TKX3_TargetGauge::SetLineWidth(int value) {
    value = std::max(value, 0);
    if (value != itsLineWidth) {
        itsLineWidth = value;
        Invalidate();
    }
}

void TKX3_TargetGauge::SetLineColour(TColor value) {
    if (value != itsLineColour) {
        itsLineColour = value;
        Invalidate();
    }
}

void TKX3_TargetGauge::SetShape(TargetGaugeShapeType value) {
    if (value != itsShape) {
        itsShape = value;
        Invalidate();
    }
}

void TKX3_TargetGauge::SetMin(int value) {
    if (value != itsMin) {
        itsMin = value;
        DoAutoHide();
        Invalidate();
    }
}

void TKX3_TargetGauge::SetMax(int value) {
    if (value != itsMax) {
        itsMax = value;
        DoAutoHide();
        Invalidate();
    }
}

void TKX3_TargetGauge::SetPosition(int value) {
    itsPosition = value;
    DoAutoHide();
    Invalidate();
}

void TKX3_TargetGauge::SetAutoHide(bool value) {
    itsAutoHide = value;
    DoAutoHide();
}

void TKX3_TargetGauge::DoAutoHide() {
    if (itsAutoHide) {
        SetVisible(itsMin <= itsPosition && itsPosition <= itsMax);
    }
}

void TKX3_TargetGauge::SetPicture(const std::string& fileName) {
    itsPicture = fileName;
    try {
        itsPictureBitmap->LoadFromFile(itsPicture);
    } catch (const std::exception&) {
        itsPicture.clear();
    }
    Invalidate();
}

void TKX3_TargetGauge::SetCaptions(const TStrings* captions) {
    itsCaptions->Assign(captions);
    Invalidate();
}

void TKX3_TargetGauge::DoCaptionsChanged(TObject* /*Sender*/) {
    Invalidate();
}

void TKX3_TargetGauge::DoClick(TObject* /*Sender*/) {
    if (OnClick) {
        OnClick(this);
    }
}

void TKX3_TargetGauge::Paint() {
    if (GetVisible()) {
        DrawTarget();
    } else {
        TCustomPanel::Paint();
    }
}

void TKX3_TargetGauge::Resize() {
    TCustomPanel::Resize();
    DrawTarget();
}

void TKX3_TargetGauge::DrawTarget() {
    // The range and the fraction are worked out in floating point, so that bounds and
    // positions at the ends of the integer range cannot overflow.
    const double lo = std::min(itsMin, itsMax);
    double hi = std::max(itsMin, itsMax);
    if (hi == lo) {
        hi = lo + 1;
    }
    float f = static_cast<float>(itsContract ? (hi - itsPosition) / (hi - lo)
                                             : (itsPosition - lo) / (hi - lo));
    if (!(f >= 0.0f)) {
        f = 0.0f;
    }
    if (f > 1.0f) {
        f = 1.0f;
    }
    const int width = GetClientWidth();
    const int height = GetClientHeight();
    const int hw = width / 2;
    const int hh = height / 2;
    const int rx = static_cast<int>(hw * f);
    const int ry = static_cast<int>(hh * f);

    itsBuffer->SetSize(width, height);
    TCanvas* canvas = itsBuffer->GetCanvas();
    if (!itsPicture.empty()) {
        canvas->StretchDraw(Rect(0, 0, width, height), itsPictureBitmap.get());
    } else {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->FillRect(Rect(0, 0, width, height));
    }

    canvas->GetBrush()->SetStyle(bsClear);
    canvas->GetPen()->SetStyle(psSolid);
    canvas->GetPen()->SetColor(clBlack);
    canvas->GetPen()->SetWidth(1);
    DrawOutline(canvas, hw, hh);

    canvas->GetPen()->SetWidth(itsLineWidth);
    canvas->GetPen()->SetColor(itsLineColour);
    DrawShape(canvas, Rect(hw - rx, hh - ry, hw + rx, hh + ry));
    canvas->GetPen()->SetColor(clBlack);
    canvas->GetPen()->SetWidth(1);

    canvas->SetFont(GetFont());
    quilbex::DrawCentredLines(canvas, itsCaptions.get(), hw, hh);

    const TRect face = Rect(0, 0, itsPaintBox->GetWidth(), itsPaintBox->GetHeight());
    itsPaintBox->GetCanvas()->CopyRect(face, canvas, face);
}

void TKX3_TargetGauge::DrawOutline(TCanvas* canvas, int hw, int hh) {
    if (itsShape == tgst_Circle) {
        const int dx = static_cast<int>(hw * kDiagonal);
        const int dy = static_cast<int>(hh * kDiagonal);
        canvas->MoveTo(hw, 0);
        canvas->LineTo(hw, 2 * hh);
        canvas->MoveTo(0, hh);
        canvas->LineTo(2 * hw, hh);
        canvas->MoveTo(hw - dx, hh - dy);
        canvas->LineTo(hw + dx, hh + dy);
        canvas->MoveTo(hw - dx, hh + dy);
        canvas->LineTo(hw + dx, hh - dy);
    }
    DrawShape(canvas, Rect(0, 0, 2 * hw, 2 * hh));
}

void TKX3_TargetGauge::DrawShape(TCanvas* canvas, const TRect& box) {
    if (itsShape == tgst_Circle) {
        canvas->Ellipse(box);
    } else {
        canvas->Rectangle(box);
    }
}
