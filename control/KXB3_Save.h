// The save prompt shown while leaving: "YES" gives mrOk, "NO" (the default) mrCancel.
#pragma once

#include "toolkit/Forms.h"

class TKXBW3_Save : public tk::TForm {
public:
    explicit TKXBW3_Save(tk::TComponent* AOwner);
    ~TKXBW3_Save() override;

    tk::TLabel* Label3;
    tk::TLabel* Label2;
    tk::TLabel* Label1;
    tk::TButton* OKButton;
    tk::TButton* CancelButton;

private:
    void CreateLayout();
};

extern TKXBW3_Save* KXBW3_Save;
