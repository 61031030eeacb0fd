// The frame of the "Sensitivity" tab: the driver's two touch thresholds on track bars and the
// applied touch level on a bar graph. The thresholds change only through a handshake with the
// driver: "Change Settings" asks for a change, and the bars and the "Keep Changes" and
// "Discard Changes" buttons take input only while the driver reports the change open.
#pragma once

#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

class TKX3_Graph;
class TKX3_Ruler;

class TKXBW3_SenseA : public tk::TFrame {
public:
    explicit TKXBW3_SenseA(tk::TComponent* AOwner);

    // Per-tick step: brings both bars into line with the driver's thresholds.
    void SlowTick();

    void FixedThresholdChange(tk::TObject* Sender);
    void PressRatioChange(tk::TObject* Sender);
    void ChangeSettingsButtonClick(tk::TObject* Sender);
    void KeepChangesButtonClick(tk::TObject* Sender);
    void DiscardChangesButtonClick(tk::TObject* Sender);
    // Store events: a new applied touch level, and every poll of the handshake state.
    void DoPressValueChange(tk::TObject* Sender);
    void DoChangeBusyPoll(tk::TObject* Sender);

    tk::TGroupBox* GroupBox3;
    tk::TTrackBar* FixedThreshold;
    TKX3_Ruler* KX3_Ruler1;
    tk::TGroupBox* GroupBox2;
    tk::TTrackBar* PressRatio;
    TKX3_Ruler* KX3_Ruler2;
    TKX3_Graph* KX3_GraphPressThresh;
    tk::TGroupBox* GroupBox7;
    TKX3_Graph* KX3_GraphPressValue;
    TKX3_Ruler* KX3_Ruler3;
    tk::TButton* ChangeSettingsButton;
    tk::TButton* KeepChangesButton;
    tk::TButton* DiscardChangesButton;

private:
    void CreateLayout();
    void AddMinMaxRow(tk::TWinControl* parent, int top);
    TKX3_Ruler* AddRuler(tk::TWinControl* parent, int top);
    TKX3_Graph* AddGraph(tk::TWinControl* parent, int top);
    // The fixed-threshold bar runs inverted: position p stands for (Max - p) + 0.5.
    float ShownThreshold() const;
    void ShowFixedThreshold();
    void ShowPressRatio();
    void SetGraphsMax(float value);

    TShareVarPoly* itsShareVarPoly;
    TShareVarBase* itsFixedThreshold;
    TShareVarBase* itsPressRatio;
    TShareVarBase* itsPressThresh;
    TShareVarBase* itsPressValue;
    TShareVarBase* itsChangeStart;
    TShareVarBase* itsChangeStop;
    TShareVarBase* itsChangeCancel;
    TShareVarBase* itsChangeBusy;
    bool ThresholdShown = false;
};
