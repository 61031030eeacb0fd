#include "control/KXB3_License.h"

#include "control/KXB3_DialogStyle.h"
#include "platform/Shell.h"

using namespace tk;

TKXBW3_License* KXBW3_License = nullptr;

TKXBW3_License::TKXBW3_License(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
}

TKXBW3_License::~TKXBW3_License() = default;

void TKXBW3_License::CreateLayout() {
    ApplyDialogStyle(this);
    SetCaption("License");
    SetClientWidth(292);
    SetClientHeight(154);
    SetPosition(poMainFormCenter);

    UserManualPanel = new TPanel(this);
    UserManualPanel->SetParent(this);
    UserManualPanel->SetBounds(62, 32, 169, 49);
    UserManualPanel->SetCaption("Press to see License");
    UserManualPanel->SetColor(clLime);
    UserManualPanel->OnClick = Bind(this, &TKXBW3_License::UserManualPanelClick);

    OKButton = AddModalButton(this, "OK", 94, 104, 105, 41, mrOk);
    OKButton->SetDefault(true);
}

void TKXBW3_License::SetFileName(std::string path) {
    FilePath = std::move(path);
}

std::string TKXBW3_License::GetFileName() const {
    return FilePath;
}

void TKXBW3_License::OpenFile() {
    try {
        platform::CurrentShell().Open("notepad.exe", "\"" + GetFileName() + "\"");
    } catch (...) {
        // A missing editor or licence file is not reported.
    }
}

void TKXBW3_License::UserManualPanelClick(TObject* /*Sender*/) {
    OpenFile();
    SetModalResult(mrOk);
}
