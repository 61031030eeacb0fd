#include "control/KXB3_Save.h"

#include "control/KXB3_DialogStyle.h"

using namespace tk;

TKXBW3_Save* KXBW3_Save = nullptr;

TKXBW3_Save::TKXBW3_Save(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
}

TKXBW3_Save::~TKXBW3_Save() = default;

void TKXBW3_Save::CreateLayout() {
    ApplyDialogStyle(this);
    SetCaption("Save");
    SetBorderIcons(0);
    SetClientWidth(232);
    SetClientHeight(102);
    SetPosition(poMainFormCenter);

    Label3 = AddStackedLabel(this, "");
    Label3->SetAutoSize(false);
    Label3->SetHeight(17);
    Label2 = AddStackedLabel(this, "The settings have been modified.");
    Label1 = AddStackedLabel(this, "Do you wish to save the new settings ?");

    OKButton = AddModalButton(this, "YES", 144, 64, 81, 33, mrOk);
    OKButton->SetTabOrder(0);
    CancelButton = AddModalButton(this, "NO", 8, 64, 81, 33, mrCancel);
    CancelButton->SetDefault(true);
    CancelButton->SetTabOrder(1);
}
