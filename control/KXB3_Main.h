// The control panel's main form: the page control with the nine tabs, the twelve page frames
// (created once, in a fixed order), the store component, and the one-second timer that drives
// the whole panel: store activation, the refresh countdown, the exit button caption, the
// calibration lock, every page's per-tick step, the exit sequence and the topmost rule.
//
// A page joins the form in five places, each at its fixed position in the orders listed there:
// its include and its field below, its creation in CreateFrames, its Enabled line in
// PageMainChange and its SlowTick call in SlowTimerTimer (KXB3_Main.cpp).
#pragma once

#include "control/KXB3_Calib.h"
#include "control/KXB3_CommsA.h"
#include "control/KXB3_CommsB.h"
#include "control/KXB3_Contact.h"
#include "control/KXB3_Edge.h"
#include "control/KXB3_Graph.h"
#include "control/KXB3_Help.h"
#include "control/KXB3_Linearity.h"
#include "control/KXB3_Monitor.h"
#include "control/KXB3_OutputA.h"
#include "control/KXB3_SenseA.h"
#include "control/KXB3_Status.h"
#include "store/ShareManager.h"
#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

class TKXBW3_Main : public tk::TForm {
public:
    explicit TKXBW3_Main(tk::TComponent* AOwner);
    ~TKXBW3_Main() override;

    void FormCreate(tk::TObject* Sender);
    // Refuses the close and starts a close request instead.
    void FormClose(tk::TObject* Sender, tk::TCloseAction& Action);
    void SaveAndExitButtonClick(tk::TObject* Sender);
    // Enables exactly the frames of the active tab (after applying the calibration lock).
    void PageMainChange(tk::TObject* Sender);
    // One tick of the main loop.
    void SlowTimerTimer(tk::TObject* Sender);
    // Shows the save prompt when settings are dirty and the driver is present; OK saves.
    void OfferSave();

    int GetExitState() const { return ExitState; }
    int GetAutoCalibState() const { return AutoCalibState; }
    int GetRefreshCountdown() const { return RefreshCountdown; }
    bool GetSharingStarted() const { return SharingStarted; }

    tk::TPageControl* PageMain;
    tk::TTabSheet* TabComms;
    tk::TTabSheet* TabSense;
    tk::TTabSheet* TabCalib;
    tk::TTabSheet* TabOutput;
    tk::TTabSheet* TabGraph;
    tk::TTabSheet* TabMonitor;
    tk::TTabSheet* TabEdge;
    tk::TTabSheet* TabContact;
    tk::TTabSheet* TabHelp;
    tk::TPanel* Panel1;
    tk::TButton* SaveAndExitButton;
    TShareManager* ShareManager1;
    tk::TTimer* SlowTimer;
    tk::TMainMenu* MainMenu;
    tk::TMenuItem* N1;

    // The page frames, in the order of the form's fields.
    TKXBW3_Status* itsStatus = nullptr;
    TKXBW3_CommsA* itsCommsA = nullptr;
    TKXBW3_CommsB* itsCommsB = nullptr;
    TKXBW3_SenseA* itsSenseA = nullptr;
    TKXBW3_Calib* itsCalib = nullptr;
    TKXBW3_Edge* itsEdge = nullptr;
    TKXBW3_Graph* itsGraph = nullptr;
    TKXBW3_OutputA* itsOutputA = nullptr;
    TKXBW3_Monitor* itsMonitor = nullptr;
    TKXBW3_Linearity* itsLinearity = nullptr;
    TKXBW3_Contact* itsContact = nullptr;
    TKXBW3_Help* itsHelp = nullptr;

    TShareVarPoly* itsShareVarPoly = nullptr;
    TShareVarBase* itsTestX = nullptr;
    TShareVarBase* itsTestY = nullptr;

private:
    void CreateLayout();
    void CreateFrames();
    void QueryExit();
    void ConfirmExit();
    void RequestExit();
    void RunDriver();
    void StartSharing();
    void TickRefresh();
    void RefreshPages();
    void UpdateExitButton();
    void TickLockCalibrate();
    void TickExit();
    void TickTopmost();

    int BrandIndex = 0;
    bool SharingStarted = false;
    int RefreshCountdown = 0;
    int ExitState = 0;
    int AutoCalibState = 0;
};

extern TKXBW3_Main* KXBW3_Main;
