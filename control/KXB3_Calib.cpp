#include "control/KXB3_Calib.h"

#include "control/KXB3_CalibScreen.h"

using namespace tk;

TKXBW3_Calib::TKXBW3_Calib(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    CreateVariables();
}

TKXBW3_Calib::~TKXBW3_Calib() = default;

void TKXBW3_Calib::CreateLayout() {
    SetBounds(0, 0, 594, 454);

    StartCalibrationGroupBox = new TGroupBox(this);
    StartCalibrationGroupBox->SetParent(this);
    StartCalibrationGroupBox->SetAlign(alTop);
    StartCalibrationGroupBox->SetHeight(321);
    StartCalibrationGroupBox->SetCaption("Calibration");

    StartCalibrationPanel = new TPanel(this);
    StartCalibrationPanel->SetParent(StartCalibrationGroupBox);
    StartCalibrationPanel->SetBounds(0, 0, 265, 177);
    StartCalibrationPanel->SetCaption("Press To Start Calibration");
    StartCalibrationPanel->SetColor(clLime);
    StartCalibrationPanel->OnClick = Bind(this, &TKXBW3_Calib::StartCalibrationPanelClick);

    OnResize = Bind(this, &TKXBW3_Calib::FrameResize);
    FrameResize(this);
}

void TKXBW3_Calib::CreateVariables() {
    itsShareVarPoly = new TShareVarPoly(this);
    auto add = [this](const char* sec, const char* name, const char* type, TNotifyEvent onChange) {
        return itsShareVarPoly->AddItem(sec, name, type, 1, std::move(onChange), nullptr, false);
    };
    itsCount0 = add("Calib", "Count0", "Int", Bind(this, &TKXBW3_Calib::DoCount0Change));
    itsCount1 = add("Calib", "Count1", "Int", Bind(this, &TKXBW3_Calib::DoCount1Change));
    itsCount2 = add("Calib", "Count2", "Int", Bind(this, &TKXBW3_Calib::DoCount2Change));
    itsCount3 = add("Calib", "Count3", "Int", Bind(this, &TKXBW3_Calib::DoCount3Change));
    itsState = add("Calib", "State", "Int", nullptr);
    itsTargetPos = add("Calib", "TargetPos", "Float", nullptr);
    itsStart = add("Calib", "Start", "Bool", nullptr);
    itsCancel = add("Calib", "Cancel", "Bool", nullptr);
    itsBusy = add("Calib", "Busy", "Bool", Bind(this, &TKXBW3_Calib::DoBusyChange));
    itsRefTLX = add("Calibrate", "Ref_TL_X", "Float", nullptr);
    itsRefTLY = add("Calibrate", "Ref_TL_Y", "Float", nullptr);
    itsRefTRX = add("Calibrate", "Ref_TR_X", "Float", nullptr);
    itsRefTRY = add("Calibrate", "Ref_TR_Y", "Float", nullptr);
    itsRefBLX = add("Calibrate", "Ref_BL_X", "Float", nullptr);
    itsRefBLY = add("Calibrate", "Ref_BL_Y", "Float", nullptr);
}

// Neither the page's Enabled state nor a run already under way stops a start: the lock's
// start and a second press both go through, and "Start" is written again.
void TKXBW3_Calib::StartCalibrationPanelClick(TObject* /*Sender*/) {
    TKXBW3_CalibScreen* screen = KXBW3_CalibScreen;
    if (screen == nullptr)
        return;
    screen->OnCancel = Bind(this, &TKXBW3_Calib::CancelCalibration);
    TShareVarBase* refs[3][2] = {
        {itsRefTLX, itsRefTLY}, {itsRefTRX, itsRefTRY}, {itsRefBLX, itsRefBLY}};
    for (int i = 0; i < 3; ++i) {
        screen->SetTargetX(i, refs[i][0]->GetValueFloat());
        screen->SetTargetY(i, refs[i][1]->GetValueFloat());
    }
    screen->SetTargetX(3, 0.5f);
    screen->SetTargetY(3, 0.5f);
    screen->SetVisible(true);
    screen->SetFocus();
    itsStart->SetValueBool(true);
}

void TKXBW3_Calib::FrameResize(TObject* /*Sender*/) {
    const int cw = StartCalibrationGroupBox->GetClientWidth();
    const int ch = StartCalibrationGroupBox->GetClientHeight();
    const int w = StartCalibrationPanel->GetWidth();
    const int h = StartCalibrationPanel->GetHeight();
    StartCalibrationPanel->SetBounds((cw - w) / 2, (ch - h) / 2, w, h);
}

void TKXBW3_Calib::SlowTick() {}

void TKXBW3_Calib::CancelCalibration(TObject* /*Sender*/) {
    itsCancel->SetValueBool(true);
}

// Progress reaches the screen only while this tab is active and the screen is showing; a
// change that is ignored is not kept.
void TKXBW3_Calib::ShowProgress(int index, TShareVarBase* count) {
    if (!GetEnabled())
        return;
    TKXBW3_CalibScreen* screen = KXBW3_CalibScreen;
    if (screen == nullptr || !screen->GetVisible())
        return;
    screen->SetTargetPosition(index, count->GetValueInt());
}

void TKXBW3_Calib::DoCount0Change(TObject* /*Sender*/) {
    ShowProgress(0, itsCount0);
}

void TKXBW3_Calib::DoCount1Change(TObject* /*Sender*/) {
    ShowProgress(1, itsCount1);
}

void TKXBW3_Calib::DoCount2Change(TObject* /*Sender*/) {
    ShowProgress(2, itsCount2);
}

void TKXBW3_Calib::DoCount3Change(TObject* /*Sender*/) {
    ShowProgress(3, itsCount3);
}

// The end of a run hides the screen whichever tab is active.
void TKXBW3_Calib::DoBusyChange(TObject* /*Sender*/) {
    if (itsBusy->GetValueBool())
        return;
    if (KXBW3_CalibScreen != nullptr)
        KXBW3_CalibScreen->SetVisible(false);
}
