#include "rightclick/RightClickUnit.h"

#include "platform/WindowServices.h"
#include "rightclick/KX3_OutputPanelA.h"

using namespace tk;

TRightClickForm* RightClickForm = nullptr;

TRightClickForm::TRightClickForm(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
    GetIcon()->Assign(Application->GetIcon());
}

TRightClickForm::~TRightClickForm() = default;

// A small sizeable window with only a close box and no controls: its whole client area shows
// the form's colour. It stays hidden until its panel shows it.
void TRightClickForm::CreateLayout() {
    SetName("RightClickForm");
    SetBounds(15, 76, 180, 100);
    SetBorderIcons(biSystemMenu);
    SetCaption("Right Click");
    SetColor(clBtnFace);
    KX3_OutputPanel1 = new TKX3_OutputPanelA(this);
    KX3_OutputPanel1->SetName("KX3_OutputPanel1");
    OnShow = Bind(this, &TRightClickForm::FormShow);
    OnCloseQuery = Bind(this, &TRightClickForm::FormCloseQuery);
}

void TRightClickForm::FormShow(TObject* /*Sender*/) {
    platform::WindowServicesInstance().HideTaskbarButton(GetHandle());
}

void TRightClickForm::FormCloseQuery(TObject* /*Sender*/, bool& /*CanClose*/) {
    KX3_OutputPanel1->DoClose(this);
}
