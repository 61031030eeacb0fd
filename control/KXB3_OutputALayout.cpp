// The mouse frame's components and their properties, at their stored places.
#include "control/KXB3_OutputA.h"

using namespace tk;

namespace {

TGroupBox* NewGroup(TComponent* owner, TWinControl* parent, int left, int top, int width,
                    int height, const char* caption) {
    auto* group = new TGroupBox(owner);
    group->SetParent(parent);
    group->SetBounds(left, top, width, height);
    group->SetCaption(caption);
    return group;
}

TCheckBox* NewCheckBox(TComponent* owner, TWinControl* parent, int left, int top,
                       const char* caption) {
    auto* box = new TCheckBox(owner);
    box->SetParent(parent);
    box->SetBounds(left, top, 180, 17);
    box->SetCaption(caption);
    return box;
}

} // namespace

void TKXBW3_OutputA::CreateLayout() {
    SetBounds(0, 0, 600, 424);

    Panel1 = new TPanel(this);
    Panel1->SetParent(this);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetWidth(537);
    Panel1->SetAlign(alLeft);

    PressReleaseAction = new TRadioGroup(this);
    PressReleaseAction->SetParent(Panel1);
    PressReleaseAction->SetBounds(0, 0, 220, 345);
    PressReleaseAction->SetCaption("Touchscreen Mouse Control");
    for (const char* item : {"Disabled", "Move Mouse Only.", "Activate On Touch.",
                             "Activate On Release.", "Drag And Drop", "Touch/Hold/Release"})
        PressReleaseAction->GetItems()->Add(item);
    PressReleaseAction->SetItemIndex(0);

    // Hidden for good: "Enabled" follows the press type instead.
    GroupBox1 = NewGroup(this, Panel1, 0, 345, 220, 56, "Permit control of mouse");
    GroupBox1->SetVisible(false);
    OutputEnabled = NewCheckBox(this, GroupBox1, 24, 24, "Enable selected control.");

    DoubleClickGroupBox = NewGroup(this, Panel1, 232, 0, 220, 160, "Double-Click Emulation");
    DoubleClickEnableCheckBox =
        NewCheckBox(this, DoubleClickGroupBox, 8, 32, "Enable Double-clicking");
    Label1 = new TLabel(this);
    Label1->SetParent(DoubleClickGroupBox);
    Label1->SetBounds(8, 72, 160, 13);
    Label1->SetCaption("Double-click area (10-100 pixels)");
    DoubleClickRadiusLabel = new TLabel(this);
    DoubleClickRadiusLabel->SetParent(DoubleClickGroupBox);
    DoubleClickRadiusLabel->SetAutoSize(false);
    DoubleClickRadiusLabel->SetBounds(48, 88, 33, 25);
    DoubleClickRadiusLabel->SetAlignment(taCenter);
    DoubleClickRadiusLabel->SetLayout(tlCenter);
    DoubleClickRadiusLabel->SetTransparent(false);
    DoubleClickRadiusLabel->SetColor(clBtnHighlight);
    DoubleClickRadiusLabel->SetCaption("25");
    DoubleClickSpinButton = new TCSpinButton(this);
    DoubleClickSpinButton->SetParent(DoubleClickGroupBox);
    DoubleClickSpinButton->SetBounds(80, 88, 17, 25);

    RightClickGroupBox = NewGroup(this, Panel1, 232, 184, 220, 160, "Right-Click Emulation");
    RightClickEnableCheckBox =
        NewCheckBox(this, RightClickGroupBox, 8, 32, "Enable Right-clicking");

    // Events last, so that the stored states above raise nothing.
    PressReleaseAction->OnClick = Bind(this, &TKXBW3_OutputA::PressReleaseActionClick);
    OutputEnabled->OnClick = Bind(this, &TKXBW3_OutputA::OutputEnabledClick);
    DoubleClickEnableCheckBox->OnClick =
        Bind(this, &TKXBW3_OutputA::DoubleClickEnableCheckBoxClick);
    DoubleClickSpinButton->OnUpClick = Bind(this, &TKXBW3_OutputA::DoubleClickSpinButtonUpClick);
    DoubleClickSpinButton->OnDownClick =
        Bind(this, &TKXBW3_OutputA::DoubleClickSpinButtonDownClick);
    RightClickEnableCheckBox->OnClick = Bind(this, &TKXBW3_OutputA::RightClickEnableCheckBoxClick);
}
