#include "control/KXB3_About.h"

#include "control/KXB3_Brand.h"
#include "control/KXB3_DialogStyle.h"

using namespace tk;

TKXBW3_About* KXBW3_About = nullptr;

TKXBW3_About::TKXBW3_About(TComponent* AOwner) : TForm(AOwner) {
    CreateLayout();
    // Always the first brand row, whatever row the program's name selects elsewhere.
    Label3->SetCaption(BrandField(0, bfMakerName));
    Label4->SetCaption(BrandField(0, bfAboutLine2));
}

TKXBW3_About::~TKXBW3_About() = default;

void TKXBW3_About::CreateLayout() {
    ApplyDialogStyle(this);
    SetCaption("About");
    SetClientWidth(293);
    SetClientHeight(130);
    SetPosition(poMainFormCenter);

    auto line = [this] {
        TLabel* label = AddStackedLabel(this, "");
        label->SetAutoSize(false);
        label->SetHeight(13);
        return label;
    };
    Label1 = line();
    Label2 = line();
    Label3 = line();
    Label4 = line();
    Label5 = line();
    Label6 = line();

    OKButton = AddModalButton(this, "OK", 106, 88, 81, 33, mrOk);
    OKButton->SetDefault(true);
    OKButton->SetTabOrder(0);
}
