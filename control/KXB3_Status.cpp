#include "control/KXB3_Status.h"

#include "control/KXB3_Brand.h"
#include "control/KXB3_Main.h"
#include "platform/Kernel.h"
#include "platform/Shell.h"

#include <cstdint>

using namespace tk;

namespace {

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

TKXBW3_Status::TKXBW3_Status(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    const std::string exeName = platform::GetModuleFileName();
    ExeDir = DirectoryOf(exeName);
    BrandIndex = BrandLookup(FileNameOf(exeName));

    itsShareVarPoly = new TShareVarPoly(this);
    auto add = [this](const char* name, const char* type, TNotifyEvent onChange = {}) {
        return itsShareVarPoly->AddItem("Status", name, type, 1, std::move(onChange), {}, false);
    };
    itsSave = add("Save", "Int");
    itsLoad = add("Load", "Int");
    itsTerminate = add("Terminate", "Int");
    itsReset = add("Reset", "Int");
    itsHeartBeat = add("HeartBeat", "Int");
    itsDirty = add("Dirty", "Bool", Bind(this, &TKXBW3_Status::DoDirtyChange));
    itsLogRecord = add("LogRecord", "Int");
    itsLogPlay = add("LogPlay", "Int");
    itsLogStop = add("LogStop", "Int");
    itsLockCalibrate = add("LockCalibrate", "Int");

    // Held as a pending write until the first poll after activation announces it.
    itsLockCalibrate->SetValueIntX(0);
}

TKXBW3_Status::~TKXBW3_Status() {
    OnDirtyChange = nullptr;
    OnDriverPresentChange = nullptr;
}

void TKXBW3_Status::CreateLayout() {
    SetBounds(0, 0, 328, 175);
    OnResize = Bind(this, &TKXBW3_Status::FrameResize);

    HeartBeatGroup = new TGroupBox(this);
    HeartBeatGroup->SetParent(this);
    HeartBeatGroup->SetAlign(alClient);
    HeartBeatGroup->SetCaption("Driver Status");

    BeatPanel = new TPanel(this);
    BeatPanel->SetParent(HeartBeatGroup);

    auto button = [this](const char* caption, void (TKXBW3_Status::*handler)(TObject*)) {
        auto* b = new TButton(this);
        b->SetParent(HeartBeatGroup);
        b->SetCaption(caption);
        b->OnClick = Bind(this, handler);
        return b;
    };
    ResetDriverButton = button("Reset Driver", &TKXBW3_Status::ResetDriverButtonClick);
    StopDriverButton = button("Stop Driver", &TKXBW3_Status::StopDriverButtonClick);
    StartDriverButton = button("Start Driver", &TKXBW3_Status::StartDriverButtonClick);
    FrameResize(this);
}

// The group box is an 11 x 12 grid; the panel and the buttons take 4 x 4 cells each.
void TKXBW3_Status::FrameResize(TObject* /*Sender*/) {
    const int cw = HeartBeatGroup->GetWidth() / 11;
    const int ch = HeartBeatGroup->GetHeight() / 12;
    BeatPanel->SetBounds(cw, 2 * ch, 4 * cw, 4 * ch);
    ResetDriverButton->SetBounds(6 * cw, 2 * ch, 4 * cw, 4 * ch);
    StopDriverButton->SetBounds(cw, 7 * ch, 4 * cw, 4 * ch);
    StartDriverButton->SetBounds(6 * cw, 7 * ch, 4 * cw, 4 * ch);
}

void TKXBW3_Status::StartDriverButtonClick(TObject* /*Sender*/) {
    StartDriver();
}

void TKXBW3_Status::StopDriverButtonClick(TObject* /*Sender*/) {
    StopDriver();
}

void TKXBW3_Status::ResetDriverButtonClick(TObject* /*Sender*/) {
    ResetDriver();
}

void TKXBW3_Status::StartDriver() {
    try {
        platform::CurrentShell().Open(ExeDir + BrandField(BrandIndex, bfDriverFile), "");
    } catch (...) {
        // Starting the driver reports nothing; presence stays "Driver Not Present".
    }
}

void TKXBW3_Status::StopDriver() {
    if (KXBW3_Main != nullptr)
        KXBW3_Main->OfferSave();
    StopRequested = true;
}

void TKXBW3_Status::SendCommand(TShareVarBase* counter) {
    const auto next = static_cast<uint32_t>(counter->GetValueInt()) + 1u;
    counter->SetValueInt(static_cast<int32_t>(next));
}

void TKXBW3_Status::ResetDriver() {
    SendCommand(itsReset);
}

void TKXBW3_Status::SaveSettings() {
    SendCommand(itsSave);
}

void TKXBW3_Status::LoadSettings() {
    SendCommand(itsLoad);
}

bool TKXBW3_Status::GetDriverPresent() {
    return itsHeartBeat->GetMasterCount() > 0;
}

bool TKXBW3_Status::GetDirty() {
    DirtyCache = itsDirty->GetValueBool();
    return DirtyCache;
}

void TKXBW3_Status::SetDirty(bool value) {
    DirtyCache = value;
    itsDirty->SetValueBoolX(value);
}

int TKXBW3_Status::GetLockCalibrate() {
    return itsLockCalibrate->GetValueInt();
}

void TKXBW3_Status::SetLockCalibrate(int value) {
    itsLockCalibrate->SetValueInt(value);
}

void TKXBW3_Status::SlowTick() {
    UpdateDriverStatus();
    DoStopSequence();
}

void TKXBW3_Status::UpdateDriverStatus() {
    const bool present = GetDriverPresent();
    BeatPanel->SetCaption(present ? "Driver Present" : "Driver Not Present");
    BeatPanel->SetColor(present ? RGB(0, 255, 0) : RGB(255, 0, 0));
    if (present != PresentCache) {
        PresentCache = present;
        if (OnDriverPresentChange)
            OnDriverPresentChange(this);
    }
}

// Terminate goes out on the tick after "Stop Driver", Dirty is cleared on the tick after that.
void TKXBW3_Status::DoStopSequence() {
    if (ClearDirtyPending) {
        ClearDirtyPending = false;
        SetDirty(false);
    }
    if (StopRequested) {
        StopRequested = false;
        ClearDirtyPending = true;
        SendCommand(itsTerminate);
    }
}

void TKXBW3_Status::DoDirtyChange(TObject* /*Sender*/) {
    const bool dirty = itsDirty->GetValueBool();
    if (dirty != DirtyCache) {
        DirtyCache = dirty;
        if (OnDirtyChange)
            OnDirtyChange(this);
    }
}
