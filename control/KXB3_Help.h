// The "Help" page: four buttons that open the user manual, the software version, the licence
// text and the about box. It also keeps the version dialog's texts up to date: the version from
// the brand record's INI file and the driver variant from the driver's auto-detect flags.
#pragma once

#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

#include <array>
#include <string>

class TKXBW3_Help : public tk::TFrame {
public:
    explicit TKXBW3_Help(tk::TComponent* AOwner);
    // The same with another directory in place of the program's (exeDir ends with '/').
    TKXBW3_Help(tk::TComponent* AOwner, std::string exeDir);

    // Reads the version and the nine auto-detect flags again and hands both texts to the
    // version dialog.
    void UpdateVersionInfo();
    // The per-tick step; the page has nothing to do on a tick.
    void SlowTick() {}

    void FrameResize(tk::TObject* Sender);
    void UserManualButtonClick(tk::TObject* Sender);
    void SoftwareVersionButtonClick(tk::TObject* Sender);
    void LicenseButtonClick(tk::TObject* Sender);
    void AboutButtonClick(tk::TObject* Sender);

    // The variant text for the flags: bit 1 any serial port, bit 2 USB.
    static std::string VariantText(int flags);

    tk::TButton* UserManualButton = nullptr;
    tk::TButton* SoftwareVersionButton = nullptr;
    tk::TButton* LicenseButton = nullptr;
    tk::TButton* AboutButton = nullptr;

    static constexpr int AutoDetectCount = 9; // "AutoDetectCom1" to "AutoDetectCom8", "...USB"

private:
    void CreateLayout();
    tk::TButton* AddButton(const std::string& name, const std::string& caption,
                           void (TKXBW3_Help::*onClick)(tk::TObject*));
    std::string ReadVersion() const;
    int ReadAutoDetectFlags() const;

    std::string ExeDir;
    int BrandIndex = 0;
    TShareVarPoly* itsShareVarPoly = nullptr;
    std::array<TShareVarBase*, AutoDetectCount> itsAutoDetect{};
};
