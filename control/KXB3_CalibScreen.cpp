#include "control/KXB3_CalibScreen.h"

#include <cmath>
#include <cstdint>
#include <limits>

using namespace tk;

TKXBW3_CalibScreen* KXBW3_CalibScreen = nullptr;

namespace {

constexpr char kEscape = 27;

// Pixel coordinate of a layout value, truncated toward zero. The fractions come from the
// driver, so a value that is not a number or lies far off the screen is held to the range a
// window coordinate can take instead of overflowing the conversion.
int ToPixel(double value) {
    constexpr double lo = std::numeric_limits<std::int16_t>::min();
    constexpr double hi = std::numeric_limits<std::int16_t>::max();
    if (std::isnan(value))
        return 0;
    if (value < lo)
        return static_cast<int>(lo);
    if (value > hi)
        return static_cast<int>(hi);
    return static_cast<int>(value);
}

} // namespace

TKXBW3_CalibScreen::TKXBW3_CalibScreen(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
    SetKeyPreview(true);
    OnCancel = nullptr;
}

TKXBW3_CalibScreen::~TKXBW3_CalibScreen() {
    OnCancel = nullptr;
}

TKX3_TargetGauge* TKXBW3_CalibScreen::CreateTarget() {
    auto* gauge = new TKX3_TargetGauge(this);
    gauge->SetParent(this);
    gauge->SetLineWidth(4);
    gauge->SetLineColour(clRed);
    gauge->SetMin(0);
    gauge->SetMax(100);
    gauge->SetContract(true);
    gauge->SetPosition(50);
    return gauge;
}

void TKXBW3_CalibScreen::CreateLayout() {
    SetBorderStyle(bsNone);
    SetCaption("KXBW3_CalibScreen");
    SetColor(clBtnFace);
    GetFont()->SetName("MS Sans Serif");
    GetFont()->SetHeight(-11);
    TKX3_TargetGauge** targets[] = {&KX3_TargetGauge1, &KX3_TargetGauge2, &KX3_TargetGauge3};
    for (TKX3_TargetGauge** target : targets) {
        TKX3_TargetGauge* gauge = CreateTarget();
        gauge->SetAutoHide(true);
        gauge->GetCaptions()->Add("Touch and Hold.");
        gauge->GetFont()->SetName("MS Sans Serif");
        gauge->GetFont()->SetHeight(-16);
        gauge->GetFont()->SetStyle(fsBold);
        *target = gauge;
    }

    KX3_TargetGauge4 = CreateTarget();
    KX3_TargetGauge4->SetShape(tgst_Rectangle);
    KX3_TargetGauge4->GetCaptions()->Add("To Cancel:");
    KX3_TargetGauge4->GetCaptions()->Add("Touch and Hold Here");
    KX3_TargetGauge4->GetCaptions()->Add("or Press ESC");
    KX3_TargetGauge4->OnClick = Bind(this, &TKXBW3_CalibScreen::KX3_TargetGauge4Click);

    OnKeyPress = Bind(this, &TKXBW3_CalibScreen::FormKeyPress);
    OnShow = Bind(this, &TKXBW3_CalibScreen::FormShow);
    SetClientWidth(526);
    SetClientHeight(432);
}

TKX3_TargetGauge* TKXBW3_CalibScreen::Gauge(int index) const {
    switch (index) {
    case 0:
        return KX3_TargetGauge1;
    case 1:
        return KX3_TargetGauge2;
    case 2:
        return KX3_TargetGauge3;
    case 3:
        return KX3_TargetGauge4;
    default:
        return nullptr;
    }
}

void TKXBW3_CalibScreen::SetTargetPosition(int index, int position) {
    if (TKX3_TargetGauge* gauge = Gauge(index))
        gauge->SetPosition(position);
}

void TKXBW3_CalibScreen::SetTargetX(int index, float fraction) {
    if (index >= 0 && index < kTargets)
        TargetX[index] = fraction;
}

void TKXBW3_CalibScreen::SetTargetY(int index, float fraction) {
    if (index >= 0 && index < kTargets)
        TargetY[index] = fraction;
}

// Each target is a square of a fifth of the form's width centred on (W x fraction, H x
// fraction); the vertical offset also comes from the width. Products are rounded to single
// precision before the offset is taken off, as the driver's reference points are.
void TKXBW3_CalibScreen::LayoutTargets() {
    const float w = static_cast<float>(GetWidth());
    const float h = static_cast<float>(GetHeight());
    const float m = static_cast<float>(0.1 * w);
    const int side = ToPixel(2.0 * m);
    for (int i = 0; i < kTargets; ++i) {
        const float x = w * TargetX[i];
        const float y = h * TargetY[i];
        const int left = ToPixel(static_cast<double>(x) - m);
        const int top = ToPixel(static_cast<double>(y) - m);
        TKX3_TargetGauge* gauge = Gauge(i);
        if (gauge->GetLeft() != left || gauge->GetTop() != top || gauge->GetWidth() != side ||
            gauge->GetHeight() != side)
            gauge->SetBounds(left, top, side, side);
    }
}

void TKXBW3_CalibScreen::Resize() {
    TForm::Resize();
    LayoutTargets();
}

void TKXBW3_CalibScreen::Paint() {
    TForm::Paint();
    LayoutTargets();
}

// The targets start hidden (position -1 is outside their range) until the driver sends their
// progress; the cancel box has no AutoHide and stays.
void TKXBW3_CalibScreen::FormShow(TObject* /*Sender*/) {
    SetWindowState(wsMaximized);
    for (int i = 0; i < kTargets; ++i)
        SetTargetPosition(i, -1);
}

void TKXBW3_CalibScreen::FormKeyPress(TObject* /*Sender*/, char& Key) {
    if (Key == kEscape)
        Cancel();
}

void TKXBW3_CalibScreen::KX3_TargetGauge4Click(TObject* /*Sender*/) {
    Cancel();
}

// The screen hides at once, before the driver answers the cancel.
void TKXBW3_CalibScreen::Cancel() {
    SetVisible(false);
    if (OnCancel)
        OnCancel(this);
}
