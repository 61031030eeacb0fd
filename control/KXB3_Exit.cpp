#include "control/KXB3_Exit.h"

#include "control/KXB3_DialogStyle.h"

using namespace tk;

TKXBW3_Exit* KXBW3_Exit = nullptr;

TKXBW3_Exit::TKXBW3_Exit(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
}

TKXBW3_Exit::~TKXBW3_Exit() = default;

void TKXBW3_Exit::CreateLayout() {
    ApplyDialogStyle(this);
    SetCaption("Exit");
    SetBorderIcons(0);
    SetClientWidth(232);
    SetClientHeight(88);
    SetPosition(poMainFormCenter);

    Label3 = AddStackedLabel(this, "");
    Label3->SetAutoSize(false);
    Label3->SetHeight(17);
    Label2 = AddStackedLabel(this, "Are you sure you want to exit ?");

    OKButton = AddModalButton(this, "YES", 144, 48, 81, 33, mrOk);
    OKButton->SetTabOrder(0);
    CancelButton = AddModalButton(this, "NO", 8, 48, 81, 33, mrCancel);
    CancelButton->SetDefault(true);
    CancelButton->SetTabOrder(1);
}
