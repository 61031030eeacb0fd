// TKX3_RightClickUnit: the right-click program's main form. It shows for about a second at
// start-up; its first timer tick activates the store, moves the "Right Click" window to the
// stored bounds and hides this form for good. Its destructor deactivates the store.
#pragma once

#include "toolkit/Forms.h"

class TShareManager;

class TKX3_RightClickUnit : public tk::TForm {
public:
    explicit TKX3_RightClickUnit(tk::TComponent* AOwner);
    ~TKX3_RightClickUnit() override;

    void OneHzTimerTimer(tk::TObject* Sender);

    tk::TTimer* OneHzTimer;
    TShareManager* itsShareManager;

private:
    void CreateLayout();

    bool Started = false;
};

// The program's main form.
extern TKX3_RightClickUnit* KX3_RightClickUnit;
