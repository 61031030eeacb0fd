#include "control/KXB3_Help.h"

#include "control/KXB3_About.h"
#include "control/KXB3_Brand.h"
#include "control/KXB3_License.h"
#include "control/KXB3_UserManual.h"
#include "control/KXB3_Version.h"
#include "platform/Kernel.h"
#include "toolkit/IniFiles.h"

#include <exception>
#include <filesystem>

using namespace tk;

namespace {

constexpr int SerialFlag = 1;
constexpr int UsbFlag = 2;

std::filesystem::path ProgramPath() {
    return platform::GetModuleFileName();
}

} // namespace

TKXBW3_Help::TKXBW3_Help(TComponent* AOwner)
    : TKXBW3_Help(AOwner, ProgramPath().parent_path().string() + "/") {}

TKXBW3_Help::TKXBW3_Help(TComponent* AOwner, std::string exeDir)
    : TFrame(AOwner), ExeDir(std::move(exeDir)) {
    CreateLayout();
    BrandIndex = BrandLookup(ProgramPath().filename().string());
    itsShareVarPoly = new TShareVarPoly(this);
    for (int port = 1; port < AutoDetectCount; ++port)
        itsAutoDetect[port - 1] = itsShareVarPoly->AddItem(
            "Comm", "AutoDetectCom" + std::to_string(port), "Bool", 1, {}, {}, false);
    itsAutoDetect[AutoDetectCount - 1] =
        itsShareVarPoly->AddItem("Comm", "AutoDetectUSB", "Bool", 1, {}, {}, false);
}

void TKXBW3_Help::CreateLayout() {
    SetName("KXBW3_Help");
    UserManualButton =
        AddButton("UserManualButton", "User Manual", &TKXBW3_Help::UserManualButtonClick);
    SoftwareVersionButton = AddButton("SoftwareVersionButton", "Software Version",
                                      &TKXBW3_Help::SoftwareVersionButtonClick);
    LicenseButton = AddButton("LicenseButton", "License", &TKXBW3_Help::LicenseButtonClick);
    AboutButton = AddButton("AboutButton", "About", &TKXBW3_Help::AboutButtonClick);
    OnResize = Bind(this, &TKXBW3_Help::FrameResize);
    SetBounds(0, 0, 541, 396);
    FrameResize(this);
}

TButton* TKXBW3_Help::AddButton(const std::string& name, const std::string& caption,
                                void (TKXBW3_Help::*onClick)(TObject*)) {
    auto* button = new TButton(this);
    button->SetName(name);
    button->SetParent(this);
    button->SetCaption(caption);
    button->OnClick = Bind(this, onClick);
    return button;
}

// The buttons fill the cells (1, 1), (3, 1), (1, 3) and (3, 3) of a grid of 5 x 5 equal cells.
void TKXBW3_Help::FrameResize(TObject* /*Sender*/) {
    const int a = GetWidth() / 5;
    const int b = GetHeight() / 5;
    UserManualButton->SetBounds(a, b, a, b);
    SoftwareVersionButton->SetBounds(3 * a, b, a, b);
    LicenseButton->SetBounds(a, 3 * b, a, b);
    AboutButton->SetBounds(3 * a, 3 * b, a, b);
}

std::string TKXBW3_Help::VariantText(int flags) {
    switch (flags) {
    case SerialFlag:
        return "Serial";
    case UsbFlag:
        return "USB";
    case SerialFlag | UsbFlag:
        return "Serial + USB";
    default:
        return "";
    }
}

// A missing file, section or key, or a file that cannot be read, gives an empty version.
std::string TKXBW3_Help::ReadVersion() const {
    try {
        const TMemIniFile ini(ExeDir + BrandField(BrandIndex, bfIniFile));
        return ini.ReadString("Product", "Version", "");
    } catch (const std::exception&) {
        return "";
    }
}

// Every flag is read each time, the serial ones first.
int TKXBW3_Help::ReadAutoDetectFlags() const {
    int flags = 0;
    for (int i = 0; i < AutoDetectCount - 1; ++i)
        if (itsAutoDetect[i]->GetValueBool())
            flags |= SerialFlag;
    if (itsAutoDetect[AutoDetectCount - 1]->GetValueBool())
        flags |= UsbFlag;
    return flags;
}

void TKXBW3_Help::UpdateVersionInfo() {
    const std::string version = ReadVersion();
    const int flags = ReadAutoDetectFlags();
    if (KXBW3_Version == nullptr)
        return;
    KXBW3_Version->SetDriverVersion(version);
    KXBW3_Version->SetDriverVariant(VariantText(flags));
}

// The dialogs' results are not looked at.
void TKXBW3_Help::UserManualButtonClick(TObject* /*Sender*/) {
    KXBW3_UserManual->SetFileName(ExeDir + BrandField(BrandIndex, bfManualFile));
    KXBW3_UserManual->ShowModal();
}

void TKXBW3_Help::SoftwareVersionButtonClick(TObject* /*Sender*/) {
    UpdateVersionInfo();
    KXBW3_Version->ShowModal();
}

void TKXBW3_Help::LicenseButtonClick(TObject* /*Sender*/) {
    KXBW3_License->SetFileName(ExeDir + BrandField(BrandIndex, bfLicenseFile));
    KXBW3_License->ShowModal();
}

void TKXBW3_Help::AboutButtonClick(TObject* /*Sender*/) {
    KXBW3_About->ShowModal();
}
