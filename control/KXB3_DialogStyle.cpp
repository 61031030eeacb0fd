#include "control/KXB3_DialogStyle.h"

#include <algorithm>

using namespace tk;

void ApplyDialogStyle(TForm* form) {
    form->SetColor(clBtnFace);
    form->GetFont()->SetName("MS Sans Serif");
    form->GetFont()->SetHeight(-11);
    form->SetBorderStyle(bsDialog);
}

TLabel* AddStackedLabel(TForm* form, const std::string& caption) {
    int top = 0;
    for (int i = 0; i < form->ControlCount(); ++i) {
        const TControl* control = form->GetControl(i);
        if (control->GetAlign() == alTop)
            top = std::max(top, control->GetTop() + control->GetHeight());
    }
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetTop(top);
    label->SetAlign(alTop);
    label->SetAlignment(taCenter);
    label->SetCaption(caption);
    return label;
}

TButton* AddModalButton(TForm* form, const std::string& caption, int left, int top, int width,
                        int height, TModalResult result) {
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(left, top, width, height);
    button->SetCaption(caption);
    button->SetModalResult(result);
    return button;
}
