#include "control/KXB3_Monitor.h"

using namespace tk;

TKXBW3_Monitor::TKXBW3_Monitor(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    ClearCountdown = 0;
    CreateVariables();
}

TKXBW3_Monitor::~TKXBW3_Monitor() = default;

void TKXBW3_Monitor::CreateLayout() {
    SetBounds(0, 0, 651, 505);

    ButtonPanel = new TPanel(this);
    ButtonPanel->SetParent(this);
    ButtonPanel->SetAlign(alRight);
    ButtonPanel->SetWidth(99);

    ClearButton = new TKX3_Button(this);
    ClearButton->SetParent(ButtonPanel);
    ClearButton->SetBounds(8, 104, 81, 137);
    ClearButton->GetCaptions()->Add("Clear");
    ClearButton->GetCaptions()->Add("Monitor");
    ClearButton->OnClick = Bind(this, &TKXBW3_Monitor::ClearButtonClick);

    GraphPanel = new TPanel(this);
    GraphPanel->SetParent(this);
    GraphPanel->SetAlign(alClient);

    KX3_GaugeXY1 = new TKX3_GaugeXY(this);
    KX3_GaugeXY1->SetParent(GraphPanel);
    KX3_GaugeXY1->SetAlign(alClient);
    KX3_GaugeXY1->SetTrace(true);
}

// The touch variables are marked saveable for the store's INI persistence, which the control
// panel itself never runs.
void TKXBW3_Monitor::CreateVariables() {
    itsShareVarPoly = new TShareVarPoly(this);
    itsX = itsShareVarPoly->AddItem("Output", "X", "Float", 1, nullptr, nullptr, true);
    itsY = itsShareVarPoly->AddItem("Output", "Y", "Float", 1, nullptr, nullptr, true);
    itsButton = itsShareVarPoly->AddItem(
        "Output", "Button", "Int", 1, Bind(this, &TKXBW3_Monitor::DoButtonChange), nullptr, true);
}

// The driver writes "X" and "Y" before "Button"; a press (above 0) starts the countdown again.
// A change while the page is disabled is dropped.
void TKXBW3_Monitor::DoButtonChange(TObject* /*Sender*/) {
    if (!GetEnabled())
        return;
    const float x = itsX->GetValueFloat();
    const float y = itsY->GetValueFloat();
    const int b = itsButton->GetValueInt();
    KX3_GaugeXY1->Input(this, x, y, b);
    if (b > 0)
        ClearCountdown = kClearTicks;
}

void TKXBW3_Monitor::SlowTick() {
    if (!GetEnabled() || ClearCountdown == 0)
        return;
    if (ClearCountdown > 0)
        --ClearCountdown;
    if (ClearCountdown == 0)
        KX3_GaugeXY1->Clear(this);
}

void TKXBW3_Monitor::ClearButtonClick(TObject* /*Sender*/) {
    KX3_GaugeXY1->Clear(this);
}
