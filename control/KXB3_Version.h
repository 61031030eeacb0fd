// The "Software Version" dialog: the driver's version and variant, as the help page last set
// them.
#pragma once

#include "toolkit/Forms.h"

#include <string>

class TKXBW3_Version : public tk::TForm {
public:
    explicit TKXBW3_Version(tk::TComponent* AOwner);

    void SetDriverVersion(const std::string& text);
    void SetDriverVariant(const std::string& text);

    tk::TLabel* Label2 = nullptr;
    tk::TLabel* Label1 = nullptr;
    tk::TLabel* DriverVersionValueLabel = nullptr;
    tk::TLabel* DriverVariantValueLabel = nullptr;
    tk::TButton* OKButton = nullptr;

private:
    void CreateLayout();
    tk::TLabel* AddRow(const std::string& name, const std::string& caption);
};

extern TKXBW3_Version* KXBW3_Version;
