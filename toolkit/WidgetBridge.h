// Internal: a Qt widget that hands its events to the control that owns it first.
#pragma once

#include "toolkit/Controls.h"

#include <QEvent>
#include <QWidget>

class QKeyEvent;

namespace tk {

// The link from a widget back to its control; the control clears it before it goes.
class WidgetLink {
public:
    explicit WidgetLink(TControl* control) : itsControl(control) {}
    virtual ~WidgetLink() = default;
    WidgetLink(const WidgetLink&) = delete;
    WidgetLink& operator=(const WidgetLink&) = delete;
    TControl* Control() const { return itsControl; }
    void Detach() { itsControl = nullptr; }

protected:
    // Offers the event to the control (handler exceptions go to the application's display).
    bool Offer(QWidget* widget, QEvent* event);

private:
    TControl* itsControl;
};

// Wraps any widget class W; the control may take an event (returning true) before W sees it.
template <class W> class Bridged : public W, public WidgetLink {
public:
    explicit Bridged(TControl* control) : WidgetLink(control) {}

protected:
    bool event(QEvent* e) override { return Offer(this, e) || W::event(e); }
};

using BridgedWidget = Bridged<QWidget>;

// The character a key press types (13 Enter, 27 Esc, 8 Backspace, 9 Tab; 0 for none).
char KeyCharOf(const QKeyEvent* event);

// The control behind a widget made by the toolkit, or nullptr.
TControl* ControlOfWidget(const QWidget* widget);

} // namespace tk
