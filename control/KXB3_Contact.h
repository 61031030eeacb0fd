// The "Contact" page: writes the files the control panel carries beside the program at every
// start and shows the contact page in a web view, opening it again whenever the page's Enabled
// state changes (its tab is entered or left).
#pragma once

#include "control/KXB3_EmbeddedFile.h"
#include "toolkit/Forms.h"
#include "toolkit/WebBrowser.h"

#include <string>

class TKXBW3_Contact : public tk::TFrame {
public:
    // Writes the stored files into the program's directory and opens the contact page.
    explicit TKXBW3_Contact(tk::TComponent* AOwner);
    // The same with another directory in place of the program's (exeDir ends with '/').
    TKXBW3_Contact(tk::TComponent* AOwner, std::string exeDir);

    void WriteContactFiles();
    void WriteEmbeddedFile(const TEmbeddedFile& file);
    void ShowPage();
    // The per-tick step: navigates again when Enabled differs from the state last shown for.
    void SlowTick();
    // Refresh hook of the main form; the page has nothing to refresh.
    void Initialise() {}

    const std::string& GetExeDir() const { return ExeDir; }
    const std::string& GetPagePath() const { return PagePath; }

    tk::TWebBrowser* WebBrowser = nullptr;

private:
    void CreateLayout();

    std::string ExeDir;
    std::string PagePath;
    bool LastEnabled = false;
};
