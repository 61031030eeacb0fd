// The exit prompt: "YES" gives mrOk, "NO" (the default) mrCancel.
#pragma once

#include "toolkit/Forms.h"

class TKXBW3_Exit : public tk::TForm {
public:
    explicit TKXBW3_Exit(tk::TComponent* AOwner);
    ~TKXBW3_Exit() override;

    tk::TLabel* Label3;
    tk::TLabel* Label2;
    tk::TButton* OKButton;
    tk::TButton* CancelButton;

private:
    void CreateLayout();
};

extern TKXBW3_Exit* KXBW3_Exit;
