#include "toolkit/Controls.h"

#include "toolkit/Forms.h"
#include "toolkit/WidgetBridge.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace tk {

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier) {
        shift |= ssShift;
    }
    if (modifiers & Qt::AltModifier) {
        shift |= ssAlt;
    }
    if (modifiers & Qt::ControlModifier) {
        shift |= ssCtrl;
    }
    if (buttons & Qt::LeftButton) {
        shift |= ssLeft;
    }
    if (buttons & Qt::RightButton) {
        shift |= ssRight;
    }
    if (buttons & Qt::MiddleButton) {
        shift |= ssMiddle;
    }
    return shift;
}

TMouseButton ButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

} // namespace

char KeyCharOf(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() > 0x7F) {
        return 0;
    }
    return static_cast<char>(text.at(0).unicode());
}

bool WidgetLink::Offer(QWidget* widget, QEvent* event) {
    bool handled = false;
    if (itsControl != nullptr) {
        CallGuarded([&] { handled = itsControl->WidgetEvent(widget, event); });
    }
    return handled;
}

TControl* ControlOfWidget(const QWidget* widget) {
    const auto* link = dynamic_cast<const WidgetLink*>(widget);
    return link != nullptr ? link->Control() : nullptr;
}

void CallGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(Exception(""));
    }
}

// ---- TControl ----

TControl::TControl(TComponent* AOwner, QWidget* widget) : TComponent(AOwner), itsWidget(widget) {
    widget->hide();
    itsFont.OnChange = [this](TObject*) {
        if (!itsSettingParentFont) {
            itsParentFont = false;
        }
        FontChanged();
    };
}

TControl::~TControl() {
    itsDestroying = true;
    if (itsParent != nullptr) {
        itsParent->RemoveControl(this);
        itsParent = nullptr;
    }
    if (itsWidget != nullptr) {
        if (auto* link = dynamic_cast<WidgetLink*>(itsWidget.data())) {
            link->Detach();
        }
        delete itsWidget.data();
    }
}

QWidget* TControl::Widget() const {
    return itsWidget.data();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    const bool resized = width != itsWidth || height != itsHeight;
    if (!resized && left == itsLeft && top == itsTop) {
        return;
    }
    itsLeft = left;
    itsTop = top;
    itsWidth = width;
    itsHeight = height;
    ApplyGeometry();
    if (resized) {
        ResizeBackingImage();
        Invalidate();
        Resize();
    }
    if (itsParent != nullptr && itsAlign != alNone) {
        itsParent->AlignControls(this);
    }
}

void TControl::SizeChangedByWidget(int left, int top, int width, int height) {
    const bool resized = width != itsWidth || height != itsHeight;
    itsLeft = left;
    itsTop = top;
    itsWidth = width;
    itsHeight = height;
    if (resized) {
        ResizeBackingImage();
        Invalidate();
        Resize();
    }
}

void TControl::ClientSizeChanged() {
    ResizeBackingImage();
    Invalidate();
    Resize();
}

TRect TControl::GetBoundsRect() const {
    return {itsLeft, itsTop, itsLeft + itsWidth, itsTop + itsHeight};
}

void TControl::ApplyGeometry() {
    if (itsWidget != nullptr) {
        itsWidget->setGeometry(itsLeft, itsTop, itsWidth, itsHeight);
    }
}

void TControl::SetAlign(TAlign align) {
    if (align == itsAlign) {
        return;
    }
    itsAlign = align;
    if (itsParent != nullptr) {
        PlaceAtStackEnd();
        itsParent->Realign();
    }
}

// A control that joins a stack of aligned controls goes to its end (the innermost place), as
// code builds layouts in order; ties keep the order in which the controls were placed.
void TControl::PlaceAtStackEnd() {
    int end = 0;
    bool found = false;
    for (int i = 0; i < itsParent->ControlCount(); ++i) {
        const TControl* c = itsParent->GetControl(i);
        if (c == this || c->itsAlign != itsAlign || !c->itsVisible) {
            continue;
        }
        int edge = 0;
        switch (itsAlign) {
        case alTop:
            edge = c->itsTop + c->itsHeight;
            break;
        case alBottom:
            edge = -c->itsTop;
            break;
        case alLeft:
            edge = c->itsLeft + c->itsWidth;
            break;
        case alRight:
            edge = -c->itsLeft;
            break;
        default:
            return;
        }
        end = found ? std::max(end, edge) : edge;
        found = true;
    }
    if (!found) {
        return;
    }
    switch (itsAlign) {
    case alTop:
        itsTop = end;
        break;
    case alBottom:
        itsTop = -end - itsHeight;
        break;
    case alLeft:
        itsLeft = end;
        break;
    default:
        itsLeft = -end - itsWidth;
        break;
    }
}

void TControl::SetVisible(bool visible) {
    if (visible == itsVisible) {
        return;
    }
    itsVisible = visible;
    ApplyVisible();
    if (itsParent != nullptr && itsAlign != alNone) {
        itsParent->Realign();
    }
}

void TControl::ApplyVisible() {
    if (itsWidget != nullptr) {
        // Without a parent the widget would be a window of its own: keep it hidden.
        itsWidget->setVisible(itsVisible && itsParent != nullptr);
    }
}

bool TControl::Showing() const {
    return itsWidget != nullptr && itsWidget->isVisible();
}

void TControl::SetEnabled(bool enabled) {
    itsEnabled = enabled;
    if (itsWidget != nullptr) {
        itsWidget->setEnabled(enabled);
    }
}

void TControl::SetColor(TColor color) {
    itsParentColor = false;
    if (color == itsColor) {
        return;
    }
    itsColor = color;
    ColorChanged();
}

void TControl::SetParentColor(bool parentColor) {
    itsParentColor = parentColor;
    if (parentColor && itsParent != nullptr) {
        ParentColorChanged(itsParent->GetColor());
    }
}

void TControl::ParentColorChanged(TColor color) {
    if (itsParentColor && color != itsColor) {
        itsColor = color;
        ColorChanged();
    }
}

void TControl::ColorChanged() {
    Invalidate();
}

void TControl::SetParentFont(bool parentFont) {
    itsParentFont = parentFont;
    if (parentFont && itsParent != nullptr) {
        ParentFontChanged(itsParent->GetFont());
    }
}

void TControl::ParentFontChanged(const TFont* font) {
    if (!itsParentFont) {
        return;
    }
    itsSettingParentFont = true;
    itsFont.Assign(font);
    itsSettingParentFont = false;
}

void TControl::FontChanged() {
    Invalidate();
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == itsCaption) {
        return;
    }
    itsCaption = caption;
    CaptionChanged();
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == itsParent) {
        return;
    }
    if (parent == this) {
        throw Exception("A control cannot be its own parent");
    }
    if (itsParent != nullptr) {
        itsParent->RemoveControl(this);
    }
    itsParent = parent;
    if (itsWidget != nullptr) {
        itsWidget->setParent(parent != nullptr ? parent->ClientWidget() : nullptr);
    }
    if (parent != nullptr) {
        ParentFontChanged(parent->GetFont());
        ParentColorChanged(parent->GetColor());
        parent->InsertControl(this);
        if (itsAlign != alNone) {
            PlaceAtStackEnd();
        }
    }
    ApplyGeometry();
    ApplyVisible();
    if (parent != nullptr && itsAlign != alNone) {
        parent->Realign();
    }
}

void TControl::BringToFront() {
    if (itsWidget != nullptr) {
        itsWidget->raise();
    }
}

void TControl::SendToBack() {
    if (itsWidget != nullptr) {
        itsWidget->lower();
    }
}

void TControl::CreateCanvas(bool opaque) {
    itsOpaque = opaque;
    itsImage = std::make_unique<QImage>();
    itsCanvas = std::make_unique<TCanvas>();
    itsCanvas->Attach(itsImage.get(), [this] {
        if (!itsPainting && itsWidget != nullptr) {
            itsWidget->update();
        }
    });
    if (opaque && itsWidget != nullptr) {
        itsWidget->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    SetHandlesMouse(true);
    ResizeBackingImage();
}

void TControl::ResizeBackingImage() {
    if (itsImage == nullptr) {
        return;
    }
    const int width = std::max(0, GetClientWidth());
    const int height = std::max(0, GetClientHeight());
    if (width == itsImage->width() && height == itsImage->height()) {
        return;
    }
    if (width == 0 || height == 0) {
        *itsImage = QImage();
        return;
    }
    QImage resized(width, height,
                   itsOpaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (itsOpaque) {
        resized.fill(ToQColor(itsColor));
    } else {
        resized.fill(Qt::transparent);
    }
    if (!itsImage->isNull()) {
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, *itsImage);
    }
    *itsImage = resized;
}

void TControl::Invalidate() {
    itsDirty = true;
    if (itsWidget != nullptr) {
        itsWidget->update();
    }
    if (auto* container = dynamic_cast<TWinControl*>(this)) {
        // Painting controls without children of their own are part of this surface and are
        // repainted with it; containers repaint only when asked themselves.
        for (int i = 0; i < container->ControlCount(); ++i) {
            TControl* child = container->GetControl(i);
            if (child->itsCanvas != nullptr && !child->itsDirty &&
                dynamic_cast<TWinControl*>(child) == nullptr) {
                child->Invalidate();
            }
        }
    }
}

void TControl::PaintNow() {
    if (itsCanvas == nullptr || itsPainting) {
        return;
    }
    ResizeBackingImage();
    itsDirty = false;
    itsPainting = true;
    try {
        Paint();
    } catch (...) {
        itsPainting = false;
        throw;
    }
    itsPainting = false;
    if (itsWidget != nullptr) {
        itsWidget->update();
    }
}

void TControl::Update() {
    if (itsDirty) {
        PaintNow();
    }
    if (auto* container = dynamic_cast<TWinControl*>(this)) {
        for (int i = 0; i < container->ControlCount(); ++i) {
            container->GetControl(i)->Update();
        }
    }
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Click() {
    if (OnClick) {
        // A copy, so that a handler may destroy the control (and with it OnClick) as it runs.
        const TNotifyEvent handler = OnClick;
        handler(this);
    }
}

void TControl::DblClick() {
    if (OnDblClick) {
        OnDblClick(this);
    }
}

void TControl::Resize() {
    if (OnResize) {
        OnResize(this);
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) {
        OnMouseDown(this, button, shift, x, y);
    }
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) {
        OnMouseUp(this, button, shift, x, y);
    }
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) {
        OnMouseMove(this, shift, x, y);
    }
}

QWidget* TControl::PaintTarget() const {
    if (const auto* container = dynamic_cast<const TWinControl*>(this)) {
        return container->ClientWidget();
    }
    return itsWidget.data();
}

void TControl::PaintToWidget(QWidget* target) {
    if (itsDirty) {
        PaintNow();
    }
    if (itsImage == nullptr || itsImage->isNull()) {
        return;
    }
    QPainter painter(target);
    painter.drawImage(0, 0, *itsImage);
}

bool TControl::HandleMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const int x = static_cast<int>(mouse->position().x());
    const int y = static_cast<int>(mouse->position().y());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            itsMousePressed = true;
        }
        MouseDown(ButtonOf(mouse->button()), ShiftOf(mouse->modifiers(), mouse->buttons()), x, y);
        return true;
    case QEvent::MouseButtonDblClick:
        itsMousePressed = false;
        DblClick();
        MouseDown(ButtonOf(mouse->button()),
                  ShiftOf(mouse->modifiers(), mouse->buttons()) | ssDouble, x, y);
        return true;
    case QEvent::MouseButtonRelease: {
        const bool click = itsMousePressed && mouse->button() == Qt::LeftButton;
        if (mouse->button() == Qt::LeftButton) {
            itsMousePressed = false;
        }
        MouseUp(ButtonOf(mouse->button()), ShiftOf(mouse->modifiers(), mouse->buttons()), x, y);
        if (click && x >= 0 && y >= 0 && x < itsWidth && y < itsHeight) {
            Click();
        }
        return true;
    }
    case QEvent::MouseMove:
        MouseMove(ShiftOf(mouse->modifiers(), mouse->buttons()), x, y);
        return true;
    default:
        return false;
    }
}

bool TControl::WidgetEvent(QWidget* widget, QEvent* event) {
    switch (event->type()) {
    case QEvent::Paint:
        if (itsCanvas != nullptr && widget == PaintTarget()) {
            PaintToWidget(widget);
            return true;
        }
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (!itsHandlesMouse) {
            return false;
        }
        if (!widget->isEnabled()) {
            return true; // a disabled control (or one on a disabled parent) takes no input
        }
        return HandleMouse(event);
    default:
        return false;
    }
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TWinControl(AOwner, new BridgedWidget(this)) {
    // Its clicks are its own: they do not pass on to the parent.
    SetHandlesMouse(true);
}

TWinControl::TWinControl(TComponent* AOwner, QWidget* widget) : TControl(AOwner, widget) {
    widget->setAutoFillBackground(true);
    ApplyBackground();
}

TWinControl::~TWinControl() {
    SetDestroying();
    // The controls placed on this one go with it (each leaves its owner as it goes).
    while (!itsControls.empty()) {
        delete itsControls.back();
    }
}

void TWinControl::InsertControl(TControl* control) {
    itsControls.push_back(control);
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(itsControls.begin(), itsControls.end(), control);
    if (it == itsControls.end()) {
        return;
    }
    itsControls.erase(it);
    if (!Destroying() && control->GetAlign() != alNone) {
        Realign();
    }
}

void TWinControl::EnableAlign() {
    if (itsAlignDisabled > 0 && --itsAlignDisabled == 0) {
        Realign();
    }
}

void TWinControl::Realign() {
    AlignControls(nullptr);
}

// moved: a control placed by code, which goes before the controls it ties with.
void TWinControl::AlignControls(const TControl* moved) {
    if (itsAlignDisabled > 0 || itsAligning || Destroying()) {
        return;
    }
    itsAligning = true;
    TRect area = GetClientRect();
    AdjustClientRect(area);
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> group;
        for (TControl* control : itsControls) {
            if (control->GetAlign() == align && control->GetVisible()) {
                group.push_back(control);
            }
        }
        // Stacking order: by position towards the side the controls stack from.
        auto key = [align](const TControl* c) {
            switch (align) {
            case alTop:
                return c->GetTop();
            case alBottom:
                return -(c->GetTop() + c->GetHeight());
            case alLeft:
                return c->GetLeft();
            case alRight:
                return -(c->GetLeft() + c->GetWidth());
            default:
                return 0;
            }
        };
        std::stable_sort(group.begin(), group.end(), [&](const TControl* a, const TControl* b) {
            return std::pair(key(a), a != moved) < std::pair(key(b), b != moved);
        });
        for (TControl* c : group) {
            const int h = c->GetHeight();
            const int w = c->GetWidth();
            switch (align) {
            case alTop:
                c->SetBounds(area.Left, area.Top, area.Width(), h);
                area.Top += h;
                break;
            case alBottom:
                c->SetBounds(area.Left, area.Bottom - h, area.Width(), h);
                area.Bottom -= h;
                break;
            case alLeft:
                c->SetBounds(area.Left, area.Top, w, std::max(0, area.Height()));
                area.Left += w;
                break;
            case alRight:
                c->SetBounds(area.Right - w, area.Top, w, std::max(0, area.Height()));
                area.Right -= w;
                break;
            default:
                c->SetBounds(area.Left, area.Top, std::max(0, area.Width()),
                             std::max(0, area.Height()));
                break;
            }
        }
    }
    itsAligning = false;
}

void TWinControl::Resize() {
    Realign();
    TControl::Resize();
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* control : itsControls) {
        control->ParentFontChanged(GetFont());
    }
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    ApplyBackground();
    for (TControl* control : itsControls) {
        control->ParentColorChanged(GetColor());
    }
}

void TWinControl::ApplyBackground() {
    QWidget* client = ClientWidget();
    if (client == nullptr) {
        return;
    }
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, ToQColor(GetColor()));
    client->setPalette(palette);
}

void TWinControl::SetFocus() {
    QWidget* widget = Widget();
    if (widget == nullptr) {
        return;
    }
    if (widget->isWindow() && widget->isVisible()) {
        widget->activateWindow(); // a form takes the keyboard as a whole
    }
    widget->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const {
    return Widget() != nullptr && Widget()->hasFocus();
}

bool TWinControl::CanFocus() const {
    return Widget() != nullptr && Widget()->isEnabled() && Showing();
}

char TWinControl::KeyPress(char key) {
    if (OnKeyPress) {
        OnKeyPress(this, key);
    }
    return key;
}

bool TWinControl::WidgetEvent(QWidget* widget, QEvent* event) {
    if (event->type() == QEvent::KeyPress && widget->isEnabled()) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (OnKeyDown) {
            uint16_t key = static_cast<uint16_t>(keyEvent->key());
            OnKeyDown(this, key, ShiftOf(keyEvent->modifiers(), Qt::NoButton));
            if (key == 0) {
                return true;
            }
        }
        const char typed = KeyCharOf(keyEvent);
        if (typed != 0 && KeyPress(typed) == 0) {
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::KeyRelease && OnKeyUp && widget->isEnabled()) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        uint16_t key = static_cast<uint16_t>(keyEvent->key());
        OnKeyUp(this, key, ShiftOf(keyEvent->modifiers(), Qt::NoButton));
        return key == 0;
    }
    return TControl::WidgetEvent(widget, event);
}

// ---- TGraphicControl, TCustomControl ----

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner, new BridgedWidget(this)) {
    CreateCanvas(false);
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TCustomControl(AOwner, new BridgedWidget(this)) {}

TCustomControl::TCustomControl(TComponent* AOwner, QWidget* widget) : TWinControl(AOwner, widget) {
    widget->setAutoFillBackground(false);
    CreateCanvas(true);
}

void TCustomControl::Paint() {
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(GetClientRect());
}

} // namespace tk
