// The status frame on the "Connection" tab: shows whether the touch driver is present, offers
// "Reset Driver", "Stop Driver" and "Start Driver", and owns the variables of section "Status"
// through which the control panel commands the driver and learns its state.
#pragma once

#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

#include <string>

class TKXBW3_Status : public tk::TFrame {
public:
    explicit TKXBW3_Status(tk::TComponent* AOwner);
    ~TKXBW3_Status() override;

    void StartDriverButtonClick(tk::TObject* Sender);
    void StopDriverButtonClick(tk::TObject* Sender);
    void ResetDriverButtonClick(tk::TObject* Sender);

    // Starts the driver program from the program's directory; the outcome is not looked at.
    void StartDriver();
    // Offers to save, then asks the next tick to send Terminate.
    void StopDriver();
    // The driver commands: each adds 1 to its counter.
    void ResetDriver();
    void SaveSettings();
    void LoadSettings();

    // The group shows a master.
    bool GetDriverPresent();
    bool GetDirty();
    // Writes Dirty without announcing it.
    void SetDirty(bool value);
    int GetLockCalibrate();
    void SetLockCalibrate(int value);

    // Per-tick step: presence display, then the stop sequence.
    void SlowTick();
    void UpdateDriverStatus();
    void DoStopSequence();
    void DoDirtyChange(tk::TObject* Sender);
    void FrameResize(tk::TObject* Sender);

    tk::TGroupBox* HeartBeatGroup;
    tk::TPanel* BeatPanel;
    tk::TButton* ResetDriverButton;
    tk::TButton* StopDriverButton;
    tk::TButton* StartDriverButton;

    // Optional; nothing in the control panel assigns them.
    tk::TNotifyEvent OnDirtyChange;
    tk::TNotifyEvent OnDriverPresentChange;

private:
    void CreateLayout();
    // Read-modify-write of a command counter, 32-bit wrapping, announced.
    static void SendCommand(TShareVarBase* counter);

    TShareVarPoly* itsShareVarPoly;
    TShareVarBase* itsSave;
    TShareVarBase* itsLoad;
    TShareVarBase* itsTerminate;
    TShareVarBase* itsReset;
    TShareVarBase* itsHeartBeat;
    TShareVarBase* itsDirty;
    TShareVarBase* itsLogRecord;
    TShareVarBase* itsLogPlay;
    TShareVarBase* itsLogStop;
    TShareVarBase* itsLockCalibrate;
    std::string ExeDir;
    int BrandIndex;
    bool StopRequested = false;
    bool ClearDirtyPending = false;
    bool DirtyCache = false;
    bool PresentCache = false;
};
