// The about form: the maker's company name between empty lines, and "OK".
#pragma once

#include "toolkit/Forms.h"

class TKXBW3_About : public tk::TForm {
public:
    explicit TKXBW3_About(tk::TComponent* AOwner);
    ~TKXBW3_About() override;

    tk::TLabel* Label1;
    tk::TLabel* Label2;
    tk::TLabel* Label3; // the maker's company name
    tk::TLabel* Label4; // the second about line
    tk::TLabel* Label5;
    tk::TLabel* Label6;
    tk::TButton* OKButton;

private:
    void CreateLayout();
};

extern TKXBW3_About* KXBW3_About;
