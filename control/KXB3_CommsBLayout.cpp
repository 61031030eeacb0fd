// The connection-details frame's components and their properties. Rows inside each panel are
// top-aligned and stack in the order of their tops.
#include "control/KXB3_CommsB.h"

using namespace tk;

namespace {

constexpr int kRowHeight = 18;
constexpr int kValueWidth = 80;
constexpr int kRowMargin = 8;
constexpr int kPriorityRadioWidth = 80;
constexpr int kGlassRadioWidth = 40;
constexpr int kWedgeSize = 64;
constexpr TColor kWedgeBackground = RGB(192, 192, 192);

TPanel* NewRowPanel(TComponent* owner, TWinControl* parent, int top, int height) {
    auto* panel = new TPanel(owner);
    panel->SetParent(parent);
    panel->SetBevelOuter(bvNone);
    panel->SetBounds(0, top, parent->GetWidth(), height);
    panel->SetAlign(alTop);
    return panel;
}

TGroupBox* NewGroup(TComponent* owner, TWinControl* parent, int top, int height,
                    const char* caption, bool visible) {
    auto* group = new TGroupBox(owner);
    group->SetParent(parent);
    group->SetBounds(0, top, parent->GetWidth(), height);
    group->SetAlign(alTop);
    group->SetCaption(caption);
    group->SetVisible(visible);
    return group;
}

TCheckBox* NewCheckBox(TComponent* owner, TWinControl* parent, const char* caption) {
    auto* box = new TCheckBox(owner);
    box->SetParent(parent);
    box->SetBounds(8, 8, 97, 17);
    box->SetCaption(caption);
    return box;
}

TRadioButton* NewRadio(TComponent* owner, TWinControl* parent, int left, int top, int width,
                       const char* caption, bool checked) {
    auto* radio = new TRadioButton(owner);
    radio->SetParent(parent);
    radio->SetBounds(left, top, width, 17);
    radio->SetCaption(caption);
    radio->SetChecked(checked);
    return radio;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, int left, int top, const char* caption) {
    auto* label = new TLabel(owner);
    label->SetParent(parent);
    label->SetBounds(left, top, 60, 13);
    label->SetCaption(caption);
    return label;
}

} // namespace

TLabel* TKXBW3_CommsB::AddDetailRow(TGroupBox* group, int index, const char* caption,
                                    TLabel*& valueLabel) {
    TPanel* row = NewRowPanel(this, group, index * kRowHeight, kRowHeight);
    for (TAlign side : {alLeft, alRight}) {
        auto* spacer = new TPanel(this);
        spacer->SetParent(row);
        spacer->SetBevelOuter(bvNone);
        spacer->SetWidth(kRowMargin);
        spacer->SetAlign(side);
    }
    auto* label = new TLabel(this);
    label->SetParent(row);
    label->SetAlign(alLeft);
    label->SetCaption(caption);
    valueLabel = new TLabel(this);
    valueLabel->SetParent(row);
    valueLabel->SetAutoSize(false);
    valueLabel->SetBounds(row->GetWidth() - kValueWidth, 0, kValueWidth, kRowHeight);
    valueLabel->SetAlign(alRight);
    valueLabel->SetAlignment(taRightJustify);
    valueLabel->SetCaption("#");
    return label;
}

// The glass-thickness picture: the outline of a right triangle with its right angle at the
// bottom right on a grey that is cut out; stretched into its narrow box it is a wedge that
// widens from thin glass at the top to thick glass at the bottom.
void TKXBW3_CommsB::DrawGlassWedge() {
    TBitmap* bitmap = Image1->GetPicture()->GetBitmap();
    bitmap->SetSize(kWedgeSize, kWedgeSize);
    TCanvas* canvas = bitmap->GetCanvas();
    canvas->GetBrush()->SetColor(kWedgeBackground);
    canvas->FillRect({0, 0, kWedgeSize, kWedgeSize});
    canvas->GetPen()->SetColor(clBlack);
    const int last = kWedgeSize - 1;
    canvas->MoveTo(last, 0);
    canvas->LineTo(last, last);
    canvas->LineTo(0, last);
    canvas->LineTo(last, 0);
    bitmap->SetTransparentColor(kWedgeBackground);
    bitmap->SetTransparent(true);
    Image1->SetStretch(true);
    Image1->SetTransparent(true);
    Image1->PictureChanged();
}

void TKXBW3_CommsB::CreateLayout() {
    SetBounds(0, 0, 443, 609);

    // Serial link.
    SerialPanel = new TPanel(this);
    SerialPanel->SetParent(this);
    SerialPanel->SetBevelOuter(bvNone);
    SerialPanel->SetBounds(0, 0, 443, 609);

    Panel1 = NewRowPanel(this, SerialPanel, 0, 32);
    SerialAdvancedCheckBox = NewCheckBox(this, Panel1, "Advanced");

    SerialAdvancedGroupBox = NewGroup(this, SerialPanel, 32, 89, "", false);
    Label7 = AddDetailRow(SerialAdvancedGroupBox, 0, "Baud Rate", SerialBaudRateValueLabel);
    Label1 = AddDetailRow(SerialAdvancedGroupBox, 1, "Scan Rate", SerialScanRateValueLabel);
    Label2 = AddDetailRow(SerialAdvancedGroupBox, 2, "Sensor Size", SerialSensorSizeValueLabel);
    Label3 = AddDetailRow(SerialAdvancedGroupBox, 3, "Data Lost (within last 5 mins)",
                          SerialDataLostFiveMinsValueLabel);

    SerialDriverPriorityLevelGroupBox =
        NewGroup(this, SerialPanel, 121, 72, "Driver Priority Level", true);
    SerialDriverPriorityLevelRadioButton0 = NewRadio(this, SerialDriverPriorityLevelGroupBox, 16,
                                                     20, kPriorityRadioWidth, "High", false);
    SerialDriverPriorityLevelRadioButton1 = NewRadio(this, SerialDriverPriorityLevelGroupBox, 16,
                                                     44, kPriorityRadioWidth, "Normal", true);

    // USB link.
    USBPanel = new TPanel(this);
    USBPanel->SetParent(this);
    USBPanel->SetBevelOuter(bvNone);
    USBPanel->SetBounds(0, 0, 443, 609);

    USBAdvancedCheckBoxPanel = NewRowPanel(this, USBPanel, 0, 33);
    USBAdvancedCheckBox = NewCheckBox(this, USBAdvancedCheckBoxPanel, "Advanced");

    USBAdvancedGroupBox = NewGroup(this, USBPanel, 33, 73, "", false);
    USBScanRateLabel = AddDetailRow(USBAdvancedGroupBox, 0, "Scan Rate", USBScanRateValueLabel);
    USBSensorSizeLabel =
        AddDetailRow(USBAdvancedGroupBox, 1, "Sensor Size", USBSensorSizeValueLabel);
    USBDataLostFiveMinsLabel = AddDetailRow(
        USBAdvancedGroupBox, 2, "Data Lost (within last 5 mins)", USBDataLostFiveMinsValueLabel);

    USBProjectedCapacitanceGroupBox =
        NewGroup(this, USBPanel, 106, 103, "Projected Capacitance", true);
    USBThinGlassLabel = NewLabel(this, USBProjectedCapacitanceGroupBox, 16, 22, "Thin Glass");
    USBThickGlassLabel = NewLabel(this, USBProjectedCapacitanceGroupBox, 16, 82, "Thick Glass");
    Image1 = new TImage(this);
    Image1->SetParent(USBProjectedCapacitanceGroupBox);
    Image1->SetBounds(96, 13, 33, 89);
    DrawGlassWedge();
    USBProjectedCapacitanceRadioButton0 =
        NewRadio(this, USBProjectedCapacitanceGroupBox, 144, 22, kGlassRadioWidth, "1", false);
    USBProjectedCapacitanceRadioButton1 =
        NewRadio(this, USBProjectedCapacitanceGroupBox, 144, 42, kGlassRadioWidth, "2", false);
    USBProjectedCapacitanceRadioButton2 =
        NewRadio(this, USBProjectedCapacitanceGroupBox, 144, 62, kGlassRadioWidth, "3", true);
    USBProjectedCapacitanceRadioButton3 =
        NewRadio(this, USBProjectedCapacitanceGroupBox, 144, 82, kGlassRadioWidth, "4", false);

    USBDriverPriorityLevelGroupBox =
        NewGroup(this, USBPanel, 209, 72, "Driver Priority Level", true);
    USBDriverPriorityLevelRadioButton0 =
        NewRadio(this, USBDriverPriorityLevelGroupBox, 16, 20, kPriorityRadioWidth, "High", false);
    USBDriverPriorityLevelRadioButton1 =
        NewRadio(this, USBDriverPriorityLevelGroupBox, 16, 44, kPriorityRadioWidth, "Normal", true);

    // Events last, so that the stored states above raise nothing.
    SerialAdvancedCheckBox->OnClick = Bind(this, &TKXBW3_CommsB::SerialAdvancedCheckBoxClick);
    USBAdvancedCheckBox->OnClick = Bind(this, &TKXBW3_CommsB::USBAdvancedCheckBoxClick);
    for (int i = 0; i < 4; ++i)
        GlassRadio(i)->OnClick =
            Bind(this, &TKXBW3_CommsB::USBProjectedCapacitanceRadioButton0Click);
    for (TRadioButton* radio :
         {USBDriverPriorityLevelRadioButton0, USBDriverPriorityLevelRadioButton1})
        radio->OnClick = Bind(this, &TKXBW3_CommsB::USBDriverPriorityLevelRadioButton0Click);
    for (TRadioButton* radio :
         {SerialDriverPriorityLevelRadioButton0, SerialDriverPriorityLevelRadioButton1})
        radio->OnClick = Bind(this, &TKXBW3_CommsB::SerialDriverPriorityLevelRadioButton0Click);
}
