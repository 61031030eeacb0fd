// The connection-status frame of the "Connection" tab: a coloured caption panel that shows
// whether the driver is still searching for the touch controller or on which port it found it.
// It also keeps the driver's automatic port search switched on.
#pragma once

#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

#include <array>
#include <string>

class TKX3_Panel;

// The variables of section "Comm" that both connection frames create, in creation order.
enum TCommVariable {
    cvReqPort,
    cvPort,
    cvReqBaud,
    cvBaud,
    cvCycleSize,
    cvAdvanced,
    cvReqMuxSize,
    cvMuxOrder,
    cvReqOpen,
    cvDevOpen,
    cvActive,
    cvValid,
    cvLength,
    cvLostFiveMins,
    cvRate,
    cvAutoDetect,
    cvAutoDetectBusy,
    cvCommVariableCount
};
using TCommVariables = std::array<TShareVarBase*, cvCommVariableCount>;

// Creates the "Comm" variables through poly (count 1, not saveable, no handlers), in the order
// of TCommVariable, and returns them indexed by it.
TCommVariables AddCommVariables(TShareVarPoly* poly);

class TKXBW3_CommsA : public tk::TFrame {
public:
    explicit TKXBW3_CommsA(tk::TComponent* AOwner);

    // Per-tick step: asks for the port search again and shows its state.
    void SlowTick();
    void FrameResize(tk::TObject* Sender);

    // "Com 1" to "Com 8" for ports 1 to 8, "USB" for 9, a single space for anything else.
    static std::string PortText(int port);

    tk::TGroupBox* CommsStatusGroupBox;
    TKX3_Panel* CommsStatusMemo;

private:
    void CreateLayout();

    TShareVarPoly* itsShareVarPoly;
    TCommVariables itsComm;
};
