#include "driver/CommSection.h"

namespace {

constexpr int kSensorLength = 32;
constexpr int kDefaultCycleSize = 8;
constexpr int kBaudIndex38400 = 5;
constexpr int kBaseRate = 120;
constexpr uint32_t kRateUpdateMs = 1000;

} // namespace

CommSection::CommSection() : DriverSection("Comm") {
    Add("ReqPort", "Int");
    itsPort = Add("Port", "Int");
    Add("ReqBaud", "Int");
    itsBaud = Add("Baud", "Int");
    itsCycleSize = Add("CycleSize", "Int", 1, true);
    Add("Advanced", "Bool");
    Add("ReqMuxSize", "Int");
    Add("MuxOrder", "Int");
    Add("ReqOpen", "Bool");
    itsDevOpen = Add("DevOpen", "Bool");
    itsActive = Add("Active", "Bool");
    itsValid = Add("Valid", "Bool");
    itsLength = Add("Length", "Int");
    itsLostFiveMins = Add("LostFiveMins", "Int");
    itsRate = Add("Rate", "Int");
    Add("AutoDetect", "Bool");
    itsAutoDetectBusy = Add("AutoDetectBusy", "Bool");
    itsReqPriorityLevel = AddIn("Status", "ReqPriorityLevel", "Int");
    itsPriorityLevel = AddIn("Status", "PriorityLevel", "Int");
}

void CommSection::OnStart(const std::string& /*iniPath*/) {
    itsCycleSize->SetValueInt(kDefaultCycleSize);
    itsPriorityLevel->SetValueInt(0);
    itsReqPriorityLevel->SetValueInt(0);
    OnReset();
}

void CommSection::OnReset() {
    itsSearching = false;
    itsFound = false;
}

void CommSection::LiveTick(uint32_t nowMs) {
    if (itsFound) {
        ReportLink(nowMs);
    } else {
        if (!itsSearching) {
            itsSearching = true;
            itsSearchStartMs = nowMs;
        }
        Search(nowMs - itsSearchStartMs);
    }
    ConfirmPriority();
}

// Tries one port after the other, COM1 to COM8 and then USB, until the search time is over.
void CommSection::Search(uint32_t elapsedMs) {
    if (elapsedMs >= kSearchMs) {
        itsSearching = false;
        itsFound = true;
        SetIntIfDiffers(itsPort, kUsbPort);
        SetBoolIfDiffers(itsDevOpen, true);
        SetBoolIfDiffers(itsActive, true);
        SetBoolIfDiffers(itsValid, true);
        SetIntIfDiffers(itsLength, kSensorLength);
        SetIntIfDiffers(itsLostFiveMins, 0);
        SetBoolIfDiffers(itsAutoDetectBusy, false);
        return;
    }
    SetBoolIfDiffers(itsAutoDetectBusy, true);
    SetBoolIfDiffers(itsValid, false);
    SetBoolIfDiffers(itsActive, false);
    SetBoolIfDiffers(itsDevOpen, false);
    SetIntIfDiffers(itsBaud, kBaudIndex38400);
    SetIntIfDiffers(itsPort, 1 + static_cast<int>(elapsedMs / kPortStepMs) % kUsbPort);
    SetIntIfDiffers(itsRate, 0);
}

// The scan rate wanders by a few scans a second around its base, once a second.
void CommSection::ReportLink(uint32_t nowMs) {
    if (nowMs - itsLastRateMs < kRateUpdateMs)
        return;
    itsLastRateMs = nowMs;
    itsRate->SetValueInt(kBaseRate + static_cast<int>((nowMs / kRateUpdateMs) % 5) - 2);
}

void CommSection::ConfirmPriority() {
    const int requested = itsReqPriorityLevel->GetValueInt();
    if (requested == 0 || requested == 1)
        SetIntIfDiffers(itsPriorityLevel, requested);
}

void CommSection::SetIntIfDiffers(TShareVarBase* var, int value) {
    if (var->GetValueInt() != value)
        var->SetValueInt(value);
}

void CommSection::SetBoolIfDiffers(TShareVarBase* var, bool value) {
    if (var->GetValueBool() != value)
        var->SetValueBool(value);
}
