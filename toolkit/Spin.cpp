#include "toolkit/Spin.h"

#include <QToolButton>
#include <QWidget>

namespace tk {

TCSpinButton::TCSpinButton(TComponent* AOwner) : TWinControl(AOwner) {
    itsUp = new QToolButton(Widget());
    itsDown = new QToolButton(Widget());
    itsUp->setArrowType(Qt::UpArrow);
    itsDown->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {itsUp, itsDown}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    QObject::connect(itsUp, &QToolButton::clicked, [this] { CallGuarded([this] { ClickUp(); }); });
    QObject::connect(itsDown, &QToolButton::clicked,
                     [this] { CallGuarded([this] { ClickDown(); }); });
    SetBounds(0, 0, 20, 25);
}

void TCSpinButton::ClickUp() {
    if (OnUpClick) {
        OnUpClick(this);
    }
}

void TCSpinButton::ClickDown() {
    if (OnDownClick) {
        OnDownClick(this);
    }
}

// The up button takes the upper half, the down button the rest.
void TCSpinButton::Resize() {
    const int half = GetHeight() / 2;
    itsUp->setGeometry(0, 0, GetWidth(), half);
    itsDown->setGeometry(0, half, GetWidth(), GetHeight() - half);
    TWinControl::Resize();
}

} // namespace tk
