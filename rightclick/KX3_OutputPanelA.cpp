#include "rightclick/KX3_OutputPanelA.h"

#include "platform/WindowServices.h"
#include "store/ShareVarPoly.h"
#include "toolkit/Forms.h"

using namespace tk;

namespace {

// The nearest owner (owner, owner's owner, ...) that is a form; null when there is none.
TForm* FindOwnerForm(TComponent* component) {
    for (TComponent* owner = component->GetOwner(); owner != nullptr; owner = owner->GetOwner()) {
        if (auto* form = dynamic_cast<TForm*>(owner)) {
            return form;
        }
    }
    return nullptr;
}

} // namespace

TKX3_OutputPanelA::TKX3_OutputPanelA(TComponent* AOwner) : TComponent(AOwner) {
    itsShareVarPoly = new TShareVarPoly(this);
    const TNotifyEvent positionChange = Bind(this, &TKX3_OutputPanelA::DoPositionChange);
    itsRC_Available = itsShareVarPoly->AddItem("Output", "RC_Available", "Bool", 1, {}, {}, false);
    itsRC_Enabled = itsShareVarPoly->AddItem("Output", "RC_Enabled", "Bool", 1, {}, {}, true);
    itsRC_TimeMilliSecs =
        itsShareVarPoly->AddItem("Output", "RC_TimeMilliSecs", "Int", 1, {}, {}, false);
    itsRC_Timer = itsShareVarPoly->AddItem("Output", "RC_Timer", "Int", 1, {},
                                           Bind(this, &TKX3_OutputPanelA::DoRCTimerPoll), false);
    itsRC_Panel_X =
        itsShareVarPoly->AddItem("Output", "RC_Panel_X", "Int", 1, positionChange, {}, true);
    itsRC_Panel_Y =
        itsShareVarPoly->AddItem("Output", "RC_Panel_Y", "Int", 1, positionChange, {}, true);
    itsRC_Panel_W =
        itsShareVarPoly->AddItem("Output", "RC_Panel_W", "Int", 1, positionChange, {}, true);
    itsRC_Panel_H =
        itsShareVarPoly->AddItem("Output", "RC_Panel_H", "Int", 1, positionChange, {}, true);
    itsCalibBusy = itsShareVarPoly->AddItem("Calib", "Busy", "Bool", 1, {}, {}, false);
    itsForm = FindOwnerForm(this);
    itsTimer = new TTimer(this);
    itsTimer->SetInterval(1000);
    itsTimer->OnTimer = Bind(this, &TKX3_OutputPanelA::DoPoll);
}

// The timer and the variable set (with its variables) are owned and go with the component.
TKX3_OutputPanelA::~TKX3_OutputPanelA() = default;

void TKX3_OutputPanelA::DoPoll(TObject* /*Sender*/) {
    if (itsForm == nullptr) {
        return;
    }
    const bool available = itsRC_Available->GetValueBool();
    const bool enabled = itsRC_Enabled->GetValueBool();
    const bool busy = itsCalibBusy->GetValueBool();
    const bool driverPresent = itsCalibBusy->GetMasterCount() > 0;
    itsForm->SetVisible(available && enabled && !busy && driverPresent);
    if (!itsForm->GetVisible()) {
        return;
    }
    // Repeated every tick: a form minimised by the user or the window manager comes back (it
    // has no taskbar entry to bring it back by), a form shown again gets its above state back
    // (the window services ask for it once per show), it comes back above windows that became
    // topmost later, and it never takes the focus.
    platform::WindowServicesInstance().Restore(itsForm->GetHandle());
    platform::WindowServicesInstance().MakeTopmost(
        itsForm->GetHandle(),
        platform::WindowPosNoMove | platform::WindowPosNoSize | platform::WindowPosNoActivate);
    KeepOnScreen();
    PublishBounds();
}

// The rules run in this order, each on the bounds the one before left, so a form larger than
// the screen ends with its right or bottom edge on the screen's edge. Left and Top are the
// place of the window's frame, Width and Height the size of its client area; the frame's size
// adds the borders the window manager reports, so that the whole frame stays on the screen.
void TKX3_OutputPanelA::KeepOnScreen() {
    auto& services = platform::WindowServicesInstance();
    const platform::ScreenSize screen = services.PrimaryScreenSize();
    const platform::FrameExtents frame = services.FrameOf(itsForm->GetHandle());
    const int frameWidth = itsForm->GetWidth() + frame.Left + frame.Right;
    const int frameHeight = itsForm->GetHeight() + frame.Top + frame.Bottom;
    if (itsForm->GetLeft() < 0) {
        itsForm->SetLeft(0);
    }
    if (itsForm->GetTop() < 0) {
        itsForm->SetTop(0);
    }
    if (itsForm->GetLeft() + frameWidth > screen.Width) {
        itsForm->SetLeft(screen.Width - frameWidth);
    }
    if (itsForm->GetTop() + frameHeight > screen.Height) {
        itsForm->SetTop(screen.Height - frameHeight);
    }
}

// Silent writes: the form's own bounds must not come back to it, or to anyone, as a change.
void TKX3_OutputPanelA::PublishBounds() {
    itsRC_Panel_X->SetValueIntX(itsForm->GetLeft());
    itsRC_Panel_Y->SetValueIntX(itsForm->GetTop());
    itsRC_Panel_W->SetValueIntX(itsForm->GetWidth());
    itsRC_Panel_H->SetValueIntX(itsForm->GetHeight());
}

void TKX3_OutputPanelA::DoPositionChange(TObject* /*Sender*/) {
    if (itsForm == nullptr) {
        return;
    }
    const int left = itsRC_Panel_X->GetValueInt();
    const int top = itsRC_Panel_Y->GetValueInt();
    const int width = itsRC_Panel_W->GetValueInt();
    const int height = itsRC_Panel_H->GetValueInt();
    if (left != itsForm->GetLeft() || top != itsForm->GetTop() || width != itsForm->GetWidth() ||
        height != itsForm->GetHeight()) {
        itsForm->SetBounds(left, top, width, height);
    }
}

void TKX3_OutputPanelA::DoSyncPosition(TObject* /*Sender*/) {
    if (itsForm == nullptr) {
        return;
    }
    DoPositionChange(nullptr);
}

// Runs on every store poll, so the colour is only set when it changes: no repaint otherwise.
void TKX3_OutputPanelA::DoRCTimerPoll(TObject* /*Sender*/) {
    if (itsForm == nullptr) {
        return;
    }
    const TColor colour = itsRC_Timer->GetValueInt() > 0 ? clLime : clBtnFace;
    if (itsForm->GetColor() != colour) {
        itsForm->SetColor(colour);
    }
}

void TKX3_OutputPanelA::DoClose(TObject* /*Sender*/) {
    if (itsForm == nullptr) {
        return;
    }
    if (itsRC_Available->GetValueBool() && itsRC_Enabled->GetValueBool() &&
        !itsCalibBusy->GetValueBool()) {
        itsRC_Enabled->SetValueBool(false);
    }
}
