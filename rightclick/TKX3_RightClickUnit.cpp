#include "rightclick/TKX3_RightClickUnit.h"

#include "rightclick/KX3_OutputPanelA.h"
#include "rightclick/RightClickUnit.h"
#include "store/ShareManager.h"

using namespace tk;

TKX3_RightClickUnit* KX3_RightClickUnit = nullptr;

TKX3_RightClickUnit::TKX3_RightClickUnit(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
}

TKX3_RightClickUnit::~TKX3_RightClickUnit() {
    itsShareManager->SetActive(false);
}

// A small window captioned with the program's name and no controls; the store component keeps
// its defaults, so the program joins group "Grp" as a slave.
void TKX3_RightClickUnit::CreateLayout() {
    SetName("KX3_RightClickUnit");
    SetBounds(30, 15, 112, 31);
    SetCaption("Quilbex_RightClick");
    SetColor(clBtnFace);
    OneHzTimer = new TTimer(this);
    OneHzTimer->SetName("OneHzTimer");
    OneHzTimer->SetInterval(1000);
    OneHzTimer->OnTimer = Bind(this, &TKX3_RightClickUnit::OneHzTimerTimer);
    itsShareManager = new TShareManager(this);
    itsShareManager->SetName("itsShareManager");
}

// The store is activated only here, once both forms and with them every variable of the
// program exist: variables created while the store is active stay dead.
void TKX3_RightClickUnit::OneHzTimerTimer(TObject* /*Sender*/) {
    if (Started) {
        return;
    }
    Started = true;
    itsShareManager->SetActive(true);
    if (RightClickForm != nullptr) {
        RightClickForm->KX3_OutputPanel1->DoSyncPosition(this);
    }
    Hide();
}
