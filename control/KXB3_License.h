// The licence form: its panel opens the licence text in the text editor and closes the form.
// The document is not shown here: an outside program is started on it, and whether that works
// is not looked at.
#pragma once

#include "toolkit/Forms.h"

#include <string>

class TKXBW3_License : public tk::TForm {
public:
    explicit TKXBW3_License(tk::TComponent* AOwner);
    ~TKXBW3_License() override;

    // The full path of the document to open.
    void SetFileName(std::string path);
    std::string GetFileName() const;
    // Starts the outside program on the document.
    void OpenFile();
    void UserManualPanelClick(tk::TObject* Sender);

    tk::TPanel* UserManualPanel;
    tk::TButton* OKButton;

private:
    void CreateLayout();

    std::string FilePath;
};

extern TKXBW3_License* KXBW3_License;
