#include "control/KXB3_CommsA.h"

#include "components/KX3_Panel.h"

using namespace tk;

namespace {

struct TCommVariableDef {
    const char* Name;
    const char* Type;
};

constexpr TCommVariableDef kCommVariables[cvCommVariableCount] = {
    {"ReqPort", "Int"},     {"Port", "Int"},           {"ReqBaud", "Int"},
    {"Baud", "Int"},        {"CycleSize", "Int"},      {"Advanced", "Bool"},
    {"ReqMuxSize", "Int"},  {"MuxOrder", "Int"},       {"ReqOpen", "Bool"},
    {"DevOpen", "Bool"},    {"Active", "Bool"},        {"Valid", "Bool"},
    {"Length", "Int"},      {"LostFiveMins", "Int"},   {"Rate", "Int"},
    {"AutoDetect", "Bool"}, {"AutoDetectBusy", "Bool"}};

constexpr int kUsbPort = 9;

} // namespace

TCommVariables AddCommVariables(TShareVarPoly* poly) {
    TCommVariables vars{};
    for (int i = 0; i < cvCommVariableCount; ++i)
        vars[i] =
            poly->AddItem("Comm", kCommVariables[i].Name, kCommVariables[i].Type, 1, {}, {}, false);
    return vars;
}

TKXBW3_CommsA::TKXBW3_CommsA(TComponent* AOwner) : TFrame(AOwner) {
    CreateLayout();
    itsShareVarPoly = new TShareVarPoly(this);
    itsComm = AddCommVariables(itsShareVarPoly);
    // Held until the store is active; the first poll then announces it.
    itsComm[cvAutoDetect]->SetValueBool(true);
}

std::string TKXBW3_CommsA::PortText(int port) {
    if (port >= 1 && port <= 8)
        return "Com " + std::to_string(port);
    if (port == kUsbPort)
        return "USB";
    return " ";
}

void TKXBW3_CommsA::SlowTick() {
    itsComm[cvAutoDetect]->SetValueBool(true);
    TStrings* lines = CommsStatusMemo->GetCaptions();
    if (itsComm[cvAutoDetectBusy]->GetValueBool()) {
        CommsStatusMemo->SetColor(clRed);
        lines->Clear();
        for (const char* line : {"", "Searching", "for", "Connected", "Touchscreen"})
            lines->Add(line);
        lines->Add(PortText(itsComm[cvPort]->GetValueInt()));
    } else {
        CommsStatusMemo->SetColor(clLime);
        lines->Clear();
        for (const char* line : {"", "Touchscreen", "Found on"})
            lines->Add(line);
        lines->Add(PortText(itsComm[cvPort]->GetValueInt()));
        lines->Add(" ");
    }
}

// The caption panel takes the middle of a 10 x 12 grid over the group box.
void TKXBW3_CommsA::FrameResize(TObject* /*Sender*/) {
    const int a = CommsStatusGroupBox->GetWidth() / 10;
    const int b = CommsStatusGroupBox->GetHeight() / 12;
    CommsStatusMemo->SetBounds(a, 2 * b, 8 * a, 9 * b);
}
