#include "control/KXB3_Version.h"

#include "control/KXB3_DialogStyle.h"

using namespace tk;

TKXBW3_Version* KXBW3_Version = nullptr;

TKXBW3_Version::TKXBW3_Version(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
}

void TKXBW3_Version::CreateLayout() {
    SetName("KXBW3_Version");
    ApplyDialogStyle(this);
    SetCaption("Software Version");
    SetClientWidth(293);
    SetClientHeight(113);
    SetPosition(poMainFormCenter);

    Label2 = AddRow("Label2", "");
    Label1 = AddRow("Label1", "Software Version:");
    DriverVersionValueLabel = AddRow("DriverVersionValueLabel", "");
    DriverVariantValueLabel = AddRow("DriverVariantValueLabel", "");

    OKButton = AddModalButton(this, "OK", 106, 64, 81, 41, mrOk);
    OKButton->SetName("OKButton");
    OKButton->SetDefault(true);
}

// One centred text row of 13 pixels, stacked under the rows before it.
TLabel* TKXBW3_Version::AddRow(const std::string& name, const std::string& caption) {
    TLabel* label = AddStackedLabel(this, caption);
    label->SetName(name);
    label->SetAutoSize(false);
    label->SetHeight(13);
    return label;
}

void TKXBW3_Version::SetDriverVersion(const std::string& text) {
    DriverVersionValueLabel->SetCaption(text);
}

void TKXBW3_Version::SetDriverVariant(const std::string& text) {
    DriverVariantValueLabel->SetCaption(text);
}
