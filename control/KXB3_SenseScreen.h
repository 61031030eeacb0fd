// The sensitivity screen: a borderless form, maximised when shown, with a touch target, a
// "Time Out" box and two instruction lines. It is created at start-up and stays hidden; its
// layout rule places the target by ScreenState and the box in every state.
#pragma once

#include "components/KX3_TargetGauge.h"
#include "toolkit/Forms.h"

class TKXBW3_SenseScreen : public tk::TForm {
public:
    explicit TKXBW3_SenseScreen(tk::TComponent* AOwner);
    ~TKXBW3_SenseScreen() override;

    void FormShow(tk::TObject* Sender);
    void KX3_TargetGauge2Click(tk::TObject* Sender);
    // Places the target (states 2 and 3) and the "Time Out" box from the form's size.
    void Arrange();

    tk::TLabel* TouchLabel = nullptr;
    tk::TLabel* ReleaseLabel = nullptr;
    TKX3_TargetGauge* KX3_TargetGauge0 = nullptr;
    TKX3_TargetGauge* KX3_TargetGauge2 = nullptr;

    // 2: the target moves along the diagonal with MovingTargetProgress; 3: it sits in the
    // middle and shows CentredTargetProgress; other values leave it alone.
    int ScreenState;
    // Fractions 0 to 1.
    float MovingTargetProgress;
    float CentredTargetProgress;
    float TimeOutProgress;
    tk::TNotifyEvent OnTimeOutClick;

protected:
    void Resize() override;
    void Paint() override;

private:
    void CreateLayout();
    tk::TLabel* CreateLine(const char* caption, tk::TColor colour);
    static void ShowProgress(TKX3_TargetGauge* gauge, float fraction);
};

extern TKXBW3_SenseScreen* KXBW3_SenseScreen;
