#include "control/KXB3_SenseScreen.h"

using namespace tk;

TKXBW3_SenseScreen* KXBW3_SenseScreen = nullptr;

TKXBW3_SenseScreen::TKXBW3_SenseScreen(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
    ScreenState = 0;
    MovingTargetProgress = 0;
    CentredTargetProgress = 0;
    TimeOutProgress = 0;
    KX3_TargetGauge0->SetVisible(false);
    TouchLabel->SetVisible(false);
    ReleaseLabel->SetVisible(false);
    OnTimeOutClick = nullptr;
}

TKXBW3_SenseScreen::~TKXBW3_SenseScreen() {
    OnTimeOutClick = nullptr;
}

TLabel* TKXBW3_SenseScreen::CreateLine(const char* caption, TColor colour) {
    auto* label = new TLabel(this);
    label->SetParent(this);
    label->SetAutoSize(false);
    label->SetAlign(alTop);
    label->SetHeight(41);
    label->SetAlignment(taCenter);
    label->SetCaption(caption);
    label->GetFont()->SetName("Arial");
    label->GetFont()->SetHeight(-19);
    label->GetFont()->SetStyle(fsBold);
    label->GetFont()->SetColor(colour);
    return label;
}

void TKXBW3_SenseScreen::CreateLayout() {
    SetBorderStyle(bsNone);
    SetCaption("KXBW3_SenseScreen");
    SetColor(clBtnFace);
    TouchLabel = CreateLine("Touch The Follow The Target", clRed);
    ReleaseLabel = CreateLine("Remove your hand from the screen", clGreen);
    ReleaseLabel->SetTop(41);

    KX3_TargetGauge0 = new TKX3_TargetGauge(this);
    KX3_TargetGauge0->SetParent(this);
    KX3_TargetGauge0->SetLineWidth(4);
    KX3_TargetGauge0->SetLineColour(clRed);
    KX3_TargetGauge0->SetMax(100);
    KX3_TargetGauge0->SetAutoHide(true);
    KX3_TargetGauge0->SetContract(true);
    KX3_TargetGauge0->SetPosition(50);

    KX3_TargetGauge2 = new TKX3_TargetGauge(this);
    KX3_TargetGauge2->SetParent(this);
    KX3_TargetGauge2->SetShape(tgst_Rectangle);
    KX3_TargetGauge2->SetCaption("Time Out");
    KX3_TargetGauge2->SetLineWidth(4);
    KX3_TargetGauge2->SetLineColour(clRed);
    KX3_TargetGauge2->SetMax(100);
    KX3_TargetGauge2->SetContract(true);
    KX3_TargetGauge2->SetPosition(50);
    KX3_TargetGauge2->OnClick = Bind(this, &TKXBW3_SenseScreen::KX3_TargetGauge2Click);

    OnShow = Bind(this, &TKXBW3_SenseScreen::FormShow);
    SetClientWidth(465);
    SetClientHeight(363);
}

void TKXBW3_SenseScreen::FormShow(TObject* /*Sender*/) {
    SetWindowState(wsMaximized);
}

// The box does not hide the form; whoever assigned the event decides.
void TKXBW3_SenseScreen::KX3_TargetGauge2Click(TObject* /*Sender*/) {
    if (OnTimeOutClick)
        OnTimeOutClick(this);
}

void TKXBW3_SenseScreen::ShowProgress(TKX3_TargetGauge* gauge, float fraction) {
    gauge->SetPosition(static_cast<int>(static_cast<float>(gauge->GetMax() * fraction)));
}

// Every product is rounded to single precision and every pixel value truncated toward zero;
// the target's offsets along the diagonal are in units of the width.
void TKXBW3_SenseScreen::Arrange() {
    const float w = static_cast<float>(GetWidth());
    const float h = static_cast<float>(GetHeight());
    const float half = static_cast<float>(0.05 * w);
    const int side = static_cast<int>(2.0 * half);
    const float midX = static_cast<float>(0.5 * w);
    const float midY = static_cast<float>(0.5 * h);
    if (ScreenState == 2) {
        ShowProgress(KX3_TargetGauge0, MovingTargetProgress);
        const float along = static_cast<float>(2.0 * MovingTargetProgress);
        const float step = static_cast<float>(0.025 * w);
        const float o = static_cast<float>((along - 1.0) * step);
        KX3_TargetGauge0->SetBounds(static_cast<int>(static_cast<double>(midX) + o - half),
                                    static_cast<int>(static_cast<double>(midY) + o - half), side,
                                    side);
    } else if (ScreenState == 3) {
        ShowProgress(KX3_TargetGauge0, CentredTargetProgress);
        KX3_TargetGauge0->SetBounds(static_cast<int>(static_cast<double>(midX) - half),
                                    static_cast<int>(static_cast<double>(midY) - half), side, side);
    }
    ShowProgress(KX3_TargetGauge2, TimeOutProgress);
    const float a = static_cast<float>(w / 12.0);
    const float b = static_cast<float>(h / 12.0);
    const float c = static_cast<float>(0.1 * w);
    const float d = static_cast<float>(0.1 * h);
    KX3_TargetGauge2->SetBounds(static_cast<int>(static_cast<double>(c) - a),
                                static_cast<int>(static_cast<double>(d) - b),
                                static_cast<int>(2.0 * a), static_cast<int>(2.0 * b));
}

void TKXBW3_SenseScreen::Resize() {
    TForm::Resize();
    Arrange();
}

void TKXBW3_SenseScreen::Paint() {
    Arrange();
    TForm::Paint();
}
