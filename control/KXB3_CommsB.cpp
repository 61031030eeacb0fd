#include "control/KXB3_CommsB.h"

#include <iterator>

using namespace tk;

namespace {

constexpr int kUsbPort = 9;
constexpr int kLongSensor = 16;
constexpr int kReqMuxSize = 64;
const char* const kBaudTexts[] = {"1200", "2400", "4800", "9600", "19200", "38400"};

} // namespace

TKXBW3_CommsB::TKXBW3_CommsB(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    // At most one of the two panels shows at a time, filling the frame.
    SerialPanel->SetVisible(false);
    USBPanel->SetVisible(false);
    SerialPanel->SetAlign(alClient);
    USBPanel->SetAlign(alClient);

    itsShareVarPoly = new TShareVarPoly(this);
    itsComm = AddCommVariables(itsShareVarPoly);
    itsReqPriorityLevel =
        itsShareVarPoly->AddItem("Status", "ReqPriorityLevel", "Int", 1, {}, {}, false);
    itsPriorityLevel = itsShareVarPoly->AddItem("Status", "PriorityLevel", "Int", 1, {}, {}, false);

    // Held until the store is active; the first poll then announces them.
    itsComm[cvAdvanced]->SetValueBool(true);
    itsComm[cvReqMuxSize]->SetValueInt(kReqMuxSize);
    itsComm[cvMuxOrder]->SetValueInt(0);
}

std::string TKXBW3_CommsB::BaudText(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kBaudTexts)))
        return "";
    return kBaudTexts[index];
}

void TKXBW3_CommsB::SlowTick() {
    std::string baud;
    if (itsComm[cvAutoDetectBusy]->GetValueBool()) {
        SerialPanel->SetVisible(false);
        USBPanel->SetVisible(false);
    } else {
        const int port = itsComm[cvPort]->GetValueInt();
        SerialPanel->SetVisible(port >= 1 && port <= 8);
        USBPanel->SetVisible(port == kUsbPort);
        if (itsComm[cvPort]->GetValueInt() != kUsbPort)
            baud = BaudText(itsComm[cvBaud]->GetValueInt());
    }
    SerialBaudRateValueLabel->SetCaption(baud);

    const std::string rate = std::to_string(itsComm[cvRate]->GetValueInt());
    const std::string length = std::to_string(itsComm[cvLength]->GetValueInt());
    const std::string lost = std::to_string(itsComm[cvLostFiveMins]->GetValueInt());
    SerialScanRateValueLabel->SetCaption(rate);
    SerialSensorSizeValueLabel->SetCaption(length);
    SerialDataLostFiveMinsValueLabel->SetCaption(lost);
    USBScanRateValueLabel->SetCaption(rate);
    USBSensorSizeValueLabel->SetCaption(length);
    USBDataLostFiveMinsValueLabel->SetCaption(lost);

    SerialAdvancedCheckBoxClick(this);
    USBAdvancedCheckBoxClick(this);
    UpdatePriorityLevel();
    UpdateGlassThickness();
}

// Shown top to bottom, hidden bottom to top.
void TKXBW3_CommsB::SerialAdvancedCheckBoxClick(TObject* /*Sender*/) {
    if (SerialAdvancedCheckBox->GetChecked()) {
        SerialAdvancedGroupBox->SetVisible(true);
        SerialDriverPriorityLevelGroupBox->SetVisible(true);
    } else {
        SerialDriverPriorityLevelGroupBox->SetVisible(false);
        SerialAdvancedGroupBox->SetVisible(false);
    }
}

void TKXBW3_CommsB::USBAdvancedCheckBoxClick(TObject* /*Sender*/) {
    if (USBAdvancedCheckBox->GetChecked()) {
        USBAdvancedGroupBox->SetVisible(true);
        USBProjectedCapacitanceGroupBox->SetVisible(true);
        USBDriverPriorityLevelGroupBox->SetVisible(true);
    } else {
        USBDriverPriorityLevelGroupBox->SetVisible(false);
        USBProjectedCapacitanceGroupBox->SetVisible(false);
        USBAdvancedGroupBox->SetVisible(false);
    }
}

TRadioButton* TKXBW3_CommsB::GlassRadio(int index) const {
    TRadioButton* const radios[] = {
        USBProjectedCapacitanceRadioButton0, USBProjectedCapacitanceRadioButton1,
        USBProjectedCapacitanceRadioButton2, USBProjectedCapacitanceRadioButton3};
    return radios[index];
}

int TKXBW3_CommsB::CycleSizeRow() {
    return itsComm[cvLength]->GetValueInt() > kLongSensor ? 1 : 0;
}

// The glass thickness the user chose goes to the driver as the table's cycle size.
void TKXBW3_CommsB::USBProjectedCapacitanceRadioButton0Click(TObject* /*Sender*/) {
    const int row = CycleSizeRow();
    int index = 0;
    for (int i = 0; i < 4; ++i) {
        if (GlassRadio(i)->GetChecked())
            index = i;
    }
    SetCycleSize(CycleSizeTable[row][index]);
}

void TKXBW3_CommsB::SetCycleSize(int value) {
    if (value != itsComm[cvCycleSize]->GetValueInt())
        itsComm[cvCycleSize]->SetValueInt(value);
}

// Every cycle size falls under one radio: the boundaries are the midpoints between the
// table's neighbouring values. Moving the check runs the radio's click handler, which writes
// the table value back when the driver's differs.
void TKXBW3_CommsB::UpdateGlassThickness() {
    const int* t = CycleSizeTable[CycleSizeRow()];
    const int v = itsComm[cvCycleSize]->GetValueInt();
    const int m1 = (t[0] + t[1]) / 2;
    const int m2 = (t[1] + t[2]) / 2;
    const int m3 = (t[2] + t[3]) / 2;
    int index = 3;
    if (v < m1)
        index = 0;
    else if (v < m2)
        index = 1;
    else if (v < m3)
        index = 2;
    GlassRadio(index)->SetChecked(true);
}

void TKXBW3_CommsB::USBDriverPriorityLevelRadioButton0Click(TObject* /*Sender*/) {
    const bool high = USBDriverPriorityLevelRadioButton0->GetChecked() &&
                      !USBDriverPriorityLevelRadioButton1->GetChecked();
    SetReqPriorityLevel(high ? 1 : 0);
}

void TKXBW3_CommsB::SerialDriverPriorityLevelRadioButton0Click(TObject* /*Sender*/) {
    const bool high = SerialDriverPriorityLevelRadioButton0->GetChecked() &&
                      !SerialDriverPriorityLevelRadioButton1->GetChecked();
    SetReqPriorityLevel(high ? 1 : 0);
}

void TKXBW3_CommsB::SetReqPriorityLevel(int value) {
    itsReqPriorityLevel->SetValueInt(value);
}

// Follows the level the driver confirmed. Moving a check runs its group's handler, so a
// request the driver has not confirmed is withdrawn.
void TKXBW3_CommsB::UpdatePriorityLevel() {
    switch (itsPriorityLevel->GetValueInt()) {
    case 0:
        SerialDriverPriorityLevelRadioButton1->SetChecked(true);
        USBDriverPriorityLevelRadioButton1->SetChecked(true);
        break;
    case 1:
        SerialDriverPriorityLevelRadioButton0->SetChecked(true);
        USBDriverPriorityLevelRadioButton0->SetChecked(true);
        break;
    default:
        break;
    }
}
