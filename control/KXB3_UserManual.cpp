#include "control/KXB3_UserManual.h"

#include "control/KXB3_DialogStyle.h"
#include "platform/Shell.h"

using namespace tk;

TKXBW3_UserManual* KXBW3_UserManual = nullptr;

TKXBW3_UserManual::TKXBW3_UserManual(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
}

TKXBW3_UserManual::~TKXBW3_UserManual() = default;

void TKXBW3_UserManual::CreateLayout() {
    ApplyDialogStyle(this);
    SetCaption("User Manual");
    SetClientWidth(292);
    SetClientHeight(177);
    SetPosition(poOwnerFormCenter);

    Label2 = AddStackedLabel(this, "");
    Label2->SetAutoSize(false);
    Label2->SetHeight(13);
    Label3 = AddStackedLabel(this, "To view the User Manual you will");
    Label4 = AddStackedLabel(this, "require PDF software.");

    UserManualPanel = new TPanel(this);
    UserManualPanel->SetParent(this);
    UserManualPanel->SetBounds(62, 56, 169, 49);
    UserManualPanel->SetCaption("Press for User Manual");
    UserManualPanel->SetColor(clLime);
    UserManualPanel->OnClick = Bind(this, &TKXBW3_UserManual::UserManualPanelClick);

    OKButton = AddModalButton(this, "OK", 94, 128, 105, 41, mrOk);
    OKButton->SetDefault(true);
}

void TKXBW3_UserManual::SetFileName(std::string path) {
    FilePath = std::move(path);
}

std::string TKXBW3_UserManual::GetFileName() const {
    return FilePath;
}

void TKXBW3_UserManual::OpenFile() {
    try {
        platform::CurrentShell().Open("acrord32.exe", "\"" + GetFileName() + "\"");
    } catch (...) {
        // A missing reader or document is not reported.
    }
}

void TKXBW3_UserManual::UserManualPanelClick(TObject* /*Sender*/) {
    OpenFile();
    SetModalResult(mrOk);
}
