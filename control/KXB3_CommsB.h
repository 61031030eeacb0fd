// The connection-details frame of the "Connection" tab. For the link the driver found it shows
// the baud rate (serial only), the scan rate, the sensor size and the data lost within the last
// five minutes, behind an "Advanced" switch; it lets the user request the driver's priority
// and, on USB, choose the glass thickness of the projected-capacitance sensor.
#pragma once

#include "control/KXB3_CommsA.h"
#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

#include <string>

class TKXBW3_CommsB : public tk::TFrame {
public:
    explicit TKXBW3_CommsB(tk::TComponent* AOwner);

    // Per-tick step: shows the panel of the link, its details, the priority and the glass.
    void SlowTick();

    void SerialAdvancedCheckBoxClick(tk::TObject* Sender);
    void USBAdvancedCheckBoxClick(tk::TObject* Sender);
    void USBProjectedCapacitanceRadioButton0Click(tk::TObject* Sender);
    void USBDriverPriorityLevelRadioButton0Click(tk::TObject* Sender);
    void SerialDriverPriorityLevelRadioButton0Click(tk::TObject* Sender);

    // Checks the glass-thickness radio that "CycleSize" falls under.
    void UpdateGlassThickness();
    // Writes "CycleSize" (announced) when it differs from what it holds.
    void SetCycleSize(int value);
    // Writes "ReqPriorityLevel" (announced), also when unchanged.
    void SetReqPriorityLevel(int value);
    // Checks the priority radios the driver's "PriorityLevel" stands for.
    void UpdatePriorityLevel();

    // The text of a baud index 0 to 5; empty for any other index.
    static std::string BaudText(int index);

    // The cycle size of each glass-thickness radio, one row for sensors up to 16 long and one
    // for longer ones.
    static constexpr int CycleSizeTable[2][4] = {{3, 5, 8, 15}, {3, 5, 8, 15}};

    tk::TPanel* SerialPanel;
    tk::TPanel* Panel1;
    tk::TCheckBox* SerialAdvancedCheckBox;
    tk::TGroupBox* SerialAdvancedGroupBox;
    tk::TLabel* Label7;
    tk::TLabel* Label1;
    tk::TLabel* Label2;
    tk::TLabel* Label3;
    tk::TLabel* SerialBaudRateValueLabel;
    tk::TLabel* SerialScanRateValueLabel;
    tk::TLabel* SerialSensorSizeValueLabel;
    tk::TLabel* SerialDataLostFiveMinsValueLabel;
    tk::TGroupBox* SerialDriverPriorityLevelGroupBox;
    tk::TRadioButton* SerialDriverPriorityLevelRadioButton0;
    tk::TRadioButton* SerialDriverPriorityLevelRadioButton1;

    tk::TPanel* USBPanel;
    tk::TPanel* USBAdvancedCheckBoxPanel;
    tk::TCheckBox* USBAdvancedCheckBox;
    tk::TGroupBox* USBAdvancedGroupBox;
    tk::TLabel* USBScanRateLabel;
    tk::TLabel* USBSensorSizeLabel;
    tk::TLabel* USBDataLostFiveMinsLabel;
    tk::TLabel* USBScanRateValueLabel;
    tk::TLabel* USBSensorSizeValueLabel;
    tk::TLabel* USBDataLostFiveMinsValueLabel;
    tk::TGroupBox* USBProjectedCapacitanceGroupBox;
    tk::TLabel* USBThinGlassLabel;
    tk::TLabel* USBThickGlassLabel;
    tk::TImage* Image1;
    tk::TRadioButton* USBProjectedCapacitanceRadioButton0;
    tk::TRadioButton* USBProjectedCapacitanceRadioButton1;
    tk::TRadioButton* USBProjectedCapacitanceRadioButton2;
    tk::TRadioButton* USBProjectedCapacitanceRadioButton3;
    tk::TGroupBox* USBDriverPriorityLevelGroupBox;
    tk::TRadioButton* USBDriverPriorityLevelRadioButton0;
    tk::TRadioButton* USBDriverPriorityLevelRadioButton1;

private:
    void CreateLayout();
    // Layout helpers: the index-th top-aligned row of a detail group, with its name label
    // (returned) and its right-aligned value label.
    tk::TLabel* AddDetailRow(tk::TGroupBox* group, int index, const char* caption,
                             tk::TLabel*& valueLabel);
    void DrawGlassWedge();
    // The row of CycleSizeTable for the sensor length "Length" reports.
    int CycleSizeRow();
    tk::TRadioButton* GlassRadio(int index) const;

    TShareVarPoly* itsShareVarPoly;
    TCommVariables itsComm;
    TShareVarBase* itsReqPriorityLevel;
    TShareVarBase* itsPriorityLevel;
};
