// A pair of small arrow buttons, up above down; holding one repeats its click.
#pragma once

#include "toolkit/Controls.h"

class QToolButton;

namespace tk {

class TCSpinButton : public TWinControl {
public:
    explicit TCSpinButton(TComponent* AOwner);

    // Clicks the up or down button as the user does.
    void ClickUp();
    void ClickDown();

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void Resize() override;

private:
    QToolButton* itsUp = nullptr;
    QToolButton* itsDown = nullptr;
};

} // namespace tk
