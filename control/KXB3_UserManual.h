// The user-manual form: its panel opens the manual in the PDF reader and closes the form.
// The document is not shown here: an outside program is started on it, and whether that works
// is not looked at.
#pragma once

#include "toolkit/Forms.h"

#include <string>

class TKXBW3_UserManual : public tk::TForm {
public:
    explicit TKXBW3_UserManual(tk::TComponent* AOwner);
    ~TKXBW3_UserManual() override;

    // The full path of the document to open.
    void SetFileName(std::string path);
    std::string GetFileName() const;
    // Starts the outside program on the document.
    void OpenFile();
    void UserManualPanelClick(tk::TObject* Sender);

    tk::TPanel* UserManualPanel;
    tk::TButton* OKButton;
    tk::TLabel* Label2;
    tk::TLabel* Label3;
    tk::TLabel* Label4;

private:
    void CreateLayout();

    std::string FilePath;
};

extern TKXBW3_UserManual* KXBW3_UserManual;
