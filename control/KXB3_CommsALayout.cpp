// The connection-status frame's components and their properties.
#include "control/KXB3_CommsA.h"

#include "components/KX3_Panel.h"

using namespace tk;

void TKXBW3_CommsA::CreateLayout() {
    SetBounds(0, 0, 360, 192);

    CommsStatusGroupBox = new TGroupBox(this);
    CommsStatusGroupBox->SetParent(this);
    CommsStatusGroupBox->SetAlign(alClient);
    CommsStatusGroupBox->SetCaption("Connection Status");

    CommsStatusMemo = new TKX3_Panel(this);
    CommsStatusMemo->SetParent(CommsStatusGroupBox);
    CommsStatusMemo->SetColor(clRed);

    OnResize = Bind(this, &TKXBW3_CommsA::FrameResize);
    FrameResize(this);
}
