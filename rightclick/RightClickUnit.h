// TRightClickForm: the "Right Click" window. Its panel component decides when it shows, keeps
// it topmost and on the screen, colours it and shares its bounds through the store.
#pragma once

#include "toolkit/Forms.h"

class TKX3_OutputPanelA;

class TRightClickForm : public tk::TForm {
public:
    explicit TRightClickForm(tk::TComponent* AOwner);
    ~TRightClickForm() override;

    // Hides the program's taskbar button, on every show.
    void FormShow(tk::TObject* Sender);
    // Lets the panel switch right-click emulation off; the close always goes ahead and only
    // hides the window.
    void FormCloseQuery(tk::TObject* Sender, bool& CanClose);

    TKX3_OutputPanelA* KX3_OutputPanel1;

private:
    void CreateLayout();
};

// The program's "Right Click" window.
extern TRightClickForm* RightClickForm;
