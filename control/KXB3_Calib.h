// The "Calibration" page: owns the variables of a calibration run (sections "Calib" and
// "Calibrate"), starts a run on the calibration screen and follows the driver's progress and
// end of the run there.
#pragma once

#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

class TKXBW3_Calib : public tk::TFrame {
public:
    explicit TKXBW3_Calib(tk::TComponent* AOwner);
    ~TKXBW3_Calib() override;

    // Starts a run: places the targets from the reference fractions, shows the screen and
    // sets "Start". Also called by the main form's calibration lock; Sender is not used.
    void StartCalibrationPanelClick(tk::TObject* Sender);
    void FrameResize(tk::TObject* Sender);
    // Per-tick step: nothing to do, the page follows the store's change events.
    void SlowTick();
    // The screen's OnCancel: asks the driver to cancel the run.
    void CancelCalibration(tk::TObject* Sender);

    void DoCount0Change(tk::TObject* Sender);
    void DoCount1Change(tk::TObject* Sender);
    void DoCount2Change(tk::TObject* Sender);
    void DoCount3Change(tk::TObject* Sender);
    void DoBusyChange(tk::TObject* Sender);

    tk::TGroupBox* StartCalibrationGroupBox;
    tk::TPanel* StartCalibrationPanel;

private:
    void CreateLayout();
    void CreateVariables();
    void ShowProgress(int index, TShareVarBase* count);

    TShareVarPoly* itsShareVarPoly;
    TShareVarBase* itsCount0;
    TShareVarBase* itsCount1;
    TShareVarBase* itsCount2;
    TShareVarBase* itsCount3;
    TShareVarBase* itsState;
    TShareVarBase* itsTargetPos;
    TShareVarBase* itsStart;
    TShareVarBase* itsCancel;
    TShareVarBase* itsBusy;
    TShareVarBase* itsRefTLX;
    TShareVarBase* itsRefTLY;
    TShareVarBase* itsRefTRX;
    TShareVarBase* itsRefTRY;
    TShareVarBase* itsRefBLX;
    TShareVarBase* itsRefBLY;
};
