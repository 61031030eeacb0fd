// The calibration screen: a borderless, maximised form with three touch targets and a cancel
// box in the middle. The calibration page places the targets at the driver's reference
// fractions and moves their rings with the driver's progress counts; the user cancels with ESC
// or a click on the box.
#pragma once

#include "components/KX3_TargetGauge.h"
#include "toolkit/Forms.h"

class TKXBW3_CalibScreen : public tk::TForm {
public:
    explicit TKXBW3_CalibScreen(tk::TComponent* AOwner);
    ~TKXBW3_CalibScreen() override;

    // Moves the ring of target index 0 to 3 (3 is the cancel box); other indexes do nothing.
    void SetTargetPosition(int index, int position);
    // Store the screen fraction of target index 0 to 3; the next Resize or Paint places it.
    void SetTargetX(int index, float fraction);
    void SetTargetY(int index, float fraction);
    // Places the four gauges as squares of a fifth of the form's width around their fractions.
    void LayoutTargets();

    void FormShow(tk::TObject* Sender);
    void FormKeyPress(tk::TObject* Sender, char& Key);
    void KX3_TargetGauge4Click(tk::TObject* Sender);

    TKX3_TargetGauge* KX3_TargetGauge1 = nullptr;
    TKX3_TargetGauge* KX3_TargetGauge2 = nullptr;
    TKX3_TargetGauge* KX3_TargetGauge3 = nullptr;
    TKX3_TargetGauge* KX3_TargetGauge4 = nullptr;

    // Called with the screen as Sender when the user cancels.
    tk::TNotifyEvent OnCancel;

protected:
    void Resize() override;
    void Paint() override;

private:
    static constexpr int kTargets = 4;

    void CreateLayout();
    TKX3_TargetGauge* CreateTarget();
    TKX3_TargetGauge* Gauge(int index) const;
    void Cancel();

    float TargetX[kTargets] = {};
    float TargetY[kTargets] = {};
};

extern TKXBW3_CalibScreen* KXBW3_CalibScreen;
