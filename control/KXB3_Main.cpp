#include "control/KXB3_Main.h"

#include "control/KXB3_About.h"
#include "control/KXB3_Brand.h"
#include "control/KXB3_CalibScreen.h"
#include "control/KXB3_Exit.h"
#include "control/KXB3_License.h"
#include "control/KXB3_Save.h"
#include "control/KXB3_UserManual.h"
#include "control/KXB3_Version.h"
#include "platform/Kernel.h"
#include "platform/WindowServices.h"

#include <initializer_list>

using namespace tk;

TKXBW3_Main* KXBW3_Main = nullptr;

namespace {

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsVisible(const TForm* form) {
    return form != nullptr && form->GetVisible();
}

TForm* FirstVisible(std::initializer_list<TForm*> forms) {
    for (TForm* form : forms) {
        if (IsVisible(form))
            return form;
    }
    return nullptr;
}

} // namespace

TKXBW3_Main::TKXBW3_Main(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
    BrandIndex = BrandLookup(FileNameOf(platform::GetModuleFileName()));
    Application->SetTitle(BrandField(BrandIndex, bfControlName));
    SetCaption(BrandField(BrandIndex, bfMainCaption));

    CreateFrames();
    AutoCalibState = 0;
    PageMain->SetActivePage(TabContact);
    PageMainChange(this);
    GetIcon()->Assign(Application->GetIcon());

    itsShareVarPoly = new TShareVarPoly(this);
    itsTestX = itsShareVarPoly->AddItem("Test", "X", "Float", 1, {}, {}, false);
    itsTestY = itsShareVarPoly->AddItem("Test", "Y", "Float", 1, {}, {}, false);

    RunDriver();
    UpdateExitButton();
    SlowTimer->SetEnabled(true);
}

TKXBW3_Main::~TKXBW3_Main() {
    ShareManager1->SetActive(false);
}

// Creates the twelve frames in this order, which is also the order in which their variables
// register with the store: status, connection-status, connection-details, sensitivity,
// calibration, mouse, graph, edge gain, line smoothing, monitor, contact, help.
void TKXBW3_Main::CreateFrames() {
    // The Connection tab: status top left, connection status below it, details on the right.
    const int hw = TabComms->GetClientWidth() / 2;
    const int hh = TabComms->GetClientHeight() / 2;
    const int m = hw / 20;

    itsStatus = new TKXBW3_Status(this);
    itsStatus->SetParent(TabComms);
    itsStatus->SetBounds(m, m, hw - 2 * m, hh - 2 * m);

    itsCommsA = new TKXBW3_CommsA(this);
    itsCommsA->SetParent(TabComms);
    itsCommsA->SetBounds(m, hh + m, hw - 2 * m, hh - 2 * m);

    itsCommsB = new TKXBW3_CommsB(this);
    itsCommsB->SetParent(TabComms);
    itsCommsB->SetBounds(hw + m, m, hw - 2 * m, 2 * hh - 2 * m);

    itsSenseA = new TKXBW3_SenseA(this);
    itsSenseA->SetParent(TabSense);
    itsSenseA->SetAlign(alClient);

    itsCalib = new TKXBW3_Calib(this);
    itsCalib->SetParent(TabCalib);
    itsCalib->SetAlign(alClient);

    itsOutputA = new TKXBW3_OutputA(this);
    itsOutputA->SetParent(TabOutput);
    itsOutputA->SetAlign(alClient);

    itsGraph = new TKXBW3_Graph(this);
    itsGraph->SetParent(TabGraph);
    itsGraph->SetAlign(alClient);

    itsEdge = new TKXBW3_Edge(this);
    itsEdge->SetParent(TabEdge);
    itsEdge->SetAlign(alClient);

    itsLinearity = new TKXBW3_Linearity(this);
    itsLinearity->SetParent(TabMonitor);
    itsLinearity->SetAlign(alBottom);

    itsMonitor = new TKXBW3_Monitor(this);
    itsMonitor->SetParent(TabMonitor);
    itsMonitor->SetAlign(alClient);

    itsContact = new TKXBW3_Contact(this);
    itsContact->SetParent(TabContact);
    itsContact->SetAlign(alClient);

    itsHelp = new TKXBW3_Help(this);
    itsHelp->SetParent(TabHelp);
    itsHelp->SetAlign(alClient);
}

void TKXBW3_Main::FormCreate(TObject* /*Sender*/) {
    SetLeft(30);
    SetTop(30);
}

void TKXBW3_Main::FormClose(TObject* /*Sender*/, TCloseAction& Action) {
    Action = caNone;
    QueryExit();
}

void TKXBW3_Main::SaveAndExitButtonClick(TObject* /*Sender*/) {
    QueryExit();
}

// Enabled in this order: status, connection-status, connection-details, sensitivity,
// calibration, edge gain, graph, monitor, line smoothing, mouse, contact, help.
void TKXBW3_Main::PageMainChange(TObject* /*Sender*/) {
    TickLockCalibrate();
    const TTabSheet* active = PageMain->GetActivePage();
    itsStatus->SetEnabled(active == TabComms);
    itsCommsA->SetEnabled(active == TabComms);
    itsCommsB->SetEnabled(active == TabComms);
    itsSenseA->SetEnabled(active == TabSense);
    itsCalib->SetEnabled(active == TabCalib);
    itsEdge->SetEnabled(active == TabEdge);
    itsGraph->SetEnabled(active == TabGraph);
    itsMonitor->SetEnabled(active == TabMonitor);
    itsLinearity->SetEnabled(active == TabMonitor);
    itsOutputA->SetEnabled(active == TabOutput);
    itsContact->SetEnabled(active == TabContact);
    itsHelp->SetEnabled(active == TabHelp);
}

// Per-tick steps in this order: status, connection-status, connection-details, sensitivity,
// calibration, edge gain, monitor, line smoothing, contact, help.
void TKXBW3_Main::SlowTimerTimer(TObject* /*Sender*/) {
    StartSharing();
    TickRefresh();
    UpdateExitButton();
    TickLockCalibrate();
    itsStatus->SlowTick();
    itsCommsA->SlowTick();
    itsCommsB->SlowTick();
    itsSenseA->SlowTick();
    itsCalib->SlowTick();
    itsEdge->SlowTick();
    itsMonitor->SlowTick();
    itsLinearity->SlowTick();
    itsContact->SlowTick();
    itsHelp->SlowTick();
    TickExit();
    TickTopmost();
}

void TKXBW3_Main::StartSharing() {
    if (SharingStarted)
        return;
    SharingStarted = true;
    ShareManager1->SetActive(true);
}

void TKXBW3_Main::TickRefresh() {
    if (RefreshCountdown <= 0)
        return;
    --RefreshCountdown;
    if (RefreshCountdown == 0)
        RefreshPages();
}

// Runs once, on the second tick: the contact page initialises, the help page reads the
// driver's version.
void TKXBW3_Main::RefreshPages() {
    itsContact->Initialise();
    itsHelp->UpdateVersionInfo();
}

void TKXBW3_Main::UpdateExitButton() {
    const bool save = itsStatus->GetDirty() && itsStatus->GetDriverPresent();
    SaveAndExitButton->SetCaption(save ? "Save and Exit" : "Exit");
}

void TKXBW3_Main::OfferSave() {
    if (!itsStatus->GetDirty() || !itsStatus->GetDriverPresent())
        return;
    if (KXBW3_Save != nullptr && KXBW3_Save->ShowModal() == mrOk)
        itsStatus->SaveSettings();
}

void TKXBW3_Main::QueryExit() {
    OfferSave();
    ConfirmExit();
}

void TKXBW3_Main::ConfirmExit() {
    if (KXBW3_Exit != nullptr && KXBW3_Exit->ShowModal() == mrOk)
        RequestExit();
}

void TKXBW3_Main::RequestExit() {
    ExitState = 1;
}

void TKXBW3_Main::RunDriver() {
    itsStatus->StartDriver();
    RefreshCountdown = 2;
}

// While the driver locks calibration the Calibration tab stays active; the first time the
// lock takes the user there, the calibration run starts by itself (once per run).
void TKXBW3_Main::TickLockCalibrate() {
    if (itsStatus->GetLockCalibrate() != 1)
        return;
    if (PageMain->GetActivePage() != TabCalib) {
        if (AutoCalibState == 0)
            AutoCalibState = 1;
        PageMain->SetActivePage(TabCalib);
        PageMainChange(this);
    }
    if (PageMain->GetActivePage() == TabCalib && AutoCalibState == 1) {
        itsCalib->StartCalibrationPanelClick(this);
        AutoCalibState = 2;
    }
}

// Leaves two ticks after the exit was confirmed. The driver goes back to its saved settings
// only when the control panel is the store's only slave.
void TKXBW3_Main::TickExit() {
    if (ExitState == 1) {
        itsStatus->SetLockCalibrate(0);
        if (ShareManager1->GetSlaveCount() == 1 && itsStatus->GetDirty())
            itsStatus->LoadSettings();
        ExitState = 2;
    } else if (ExitState == 2) {
        Application->Terminate();
    }
}

// Keeps one window above the others: a prompt or information dialog first; none while the
// manual or licence form is open; else the calibration screen, else this form. The chosen
// window comes back above topmost windows stacked over it, except this form: it keeps only
// its above state, so that it never takes turns on top with the Right Click window, which
// restacks itself every second.
void TKXBW3_Main::TickTopmost() {
    TForm* chosen = FirstVisible({
        KXBW3_Save,
        KXBW3_Exit,
        KXBW3_Version,
        KXBW3_About,
    });
    if (chosen == nullptr && !IsVisible(KXBW3_UserManual) && !IsVisible(KXBW3_License)) {
        chosen = FirstVisible({
            KXBW3_CalibScreen,
            this,
        });
    }
    if (chosen != nullptr) {
        const unsigned restack = chosen == this ? platform::WindowPosNoRestack : 0u;
        platform::WindowServicesInstance().MakeTopmost(
            chosen->GetHandle(), platform::WindowPosNoMove | platform::WindowPosNoSize | restack);
    }
}
