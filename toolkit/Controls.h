// Controls: the visual components. Every control owns one Qt widget; a control placed on a
// parent (SetParent) puts its widget inside the parent's. The owner (TComponent) destroys the
// control; destroying a parent also destroys the controls placed on it. Either order is safe.
//
// Painting: a TGraphicControl or TCustomControl keeps a backing image of its client size.
// Invalidate marks it for Paint, which the control runs before it next reaches the screen (or at
// once with Update/Repaint). Drawing on the Canvas outside Paint goes into the same image and
// shows without a repaint request. The background is never erased behind a control's image.
// Invalidating a container also repaints the painting controls without children placed on it
// (they belong to its face), but not the containers placed on it.
//
// Geometry follows the usual rules: Left/Top relative to the parent's client area, Align
// stacks aligned controls (top ones from the top in order of Top, bottom ones from the bottom,
// then left, right, and the client one fills what is left), hidden controls take no space.
#pragma once

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class QEvent;
class QImage;

namespace tk {

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift keys and mouse buttons held, combined with |.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;
constexpr TShiftState ssDouble = 64;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// Key is the character typed (13 Enter, 27 Esc, 8 Backspace); setting it to 0 swallows it.
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
// Key is the key code (Qt::Key value); setting it to 0 swallows it.
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;

class TWinControl;

class TControl : public TComponent {
public:
    ~TControl() override;

    int GetLeft() const { return itsLeft; }
    int GetTop() const { return itsTop; }
    int GetWidth() const { return itsWidth; }
    int GetHeight() const { return itsHeight; }
    void SetLeft(int left) { SetBounds(left, itsTop, itsWidth, itsHeight); }
    void SetTop(int top) { SetBounds(itsLeft, top, itsWidth, itsHeight); }
    void SetWidth(int width) { SetBounds(itsLeft, itsTop, width, itsHeight); }
    void SetHeight(int height) { SetBounds(itsLeft, itsTop, itsWidth, height); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect GetBoundsRect() const;
    virtual int GetClientWidth() const { return itsWidth; }
    virtual int GetClientHeight() const { return itsHeight; }
    virtual void SetClientWidth(int width) { SetWidth(width); }
    virtual void SetClientHeight(int height) { SetHeight(height); }
    TRect GetClientRect() const { return {0, 0, GetClientWidth(), GetClientHeight()}; }

    TAlign GetAlign() const { return itsAlign; }
    void SetAlign(TAlign align);

    bool GetVisible() const { return itsVisible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent visible up to a form that is showing.
    bool Showing() const;

    // The control's own Enabled; a disabled parent also keeps its children from input.
    bool GetEnabled() const { return itsEnabled; }
    virtual void SetEnabled(bool enabled);

    TColor GetColor() const { return itsColor; }
    virtual void SetColor(TColor color);
    bool GetParentColor() const { return itsParentColor; }
    void SetParentColor(bool parentColor);
    TFont* GetFont() { return &itsFont; }
    const TFont* GetFont() const { return &itsFont; }
    void SetFont(const TFont* font) { itsFont.Assign(font); }
    bool GetParentFont() const { return itsParentFont; }
    void SetParentFont(bool parentFont);

    const std::string& GetCaption() const { return itsCaption; }
    void SetCaption(const std::string& caption);
    int GetTag() const { return itsTag; }
    void SetTag(int tag) { itsTag = tag; }

    TWinControl* GetParent() const { return itsParent; }
    virtual void SetParent(TWinControl* parent);

    void BringToFront();
    void SendToBack();

    // Asks for Paint before the control next reaches the screen.
    void Invalidate();
    // Runs a pending Paint now.
    void Update();
    void Repaint();
    void Refresh() { Repaint(); }

    // The drawing surface of painting controls; nullptr for controls the platform draws.
    TCanvas* GetCanvas() { return itsCanvas.get(); }

    // Raises OnClick (buttons also do their own work first).
    virtual void Click();

    // The control's widget (for tests and screenshots).
    QWidget* Widget() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Entry point of the widget's events (used by the widgets themselves): returns true when
    // the control has handled the event.
    virtual bool WidgetEvent(QWidget* widget, QEvent* event);

protected:
    // widget: the control's widget, created by the class (the control takes it over).
    TControl(TComponent* AOwner, QWidget* widget);

    // Gives the control a backing image and canvas; opaque images start in the control's
    // colour, others transparent.
    void CreateCanvas(bool opaque);
    virtual void Paint() {}
    // Raises OnResize; runs after every change of size, with the backing image already resized.
    virtual void Resize();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    // Hooks for classes that show these properties on their widgets.
    virtual void CaptionChanged() {}
    virtual void FontChanged();
    virtual void ColorChanged();
    // Where this control's widget lies in its parent's widget: the default maps Left/Top
    // directly. Forms override it (their widget is a window).
    virtual void ApplyGeometry();
    virtual void ApplyVisible();
    // Input events are delivered to this control (painting controls and panels take mouse
    // clicks themselves; the platform's controls report through their own signals).
    void SetHandlesMouse(bool handles) { itsHandlesMouse = handles; }
    // The client area changed size without the bounds changing (a form's menu came or went).
    void ClientSizeChanged();
    // Updates the stored size from the widget after the window system resized it.
    void SizeChangedByWidget(int left, int top, int width, int height);
    bool Destroying() const { return itsDestroying; }
    void SetDestroying() { itsDestroying = true; }
    QImage* BackingImage() const { return itsImage.get(); }
    void PaintNow();

private:
    friend class TWinControl;
    void PlaceAtStackEnd();
    void ParentFontChanged(const TFont* font);
    void ParentColorChanged(TColor color);
    void ResizeBackingImage();
    bool HandleMouse(QEvent* event);
    void PaintToWidget(QWidget* target);
    QWidget* PaintTarget() const;

    QPointer<QWidget> itsWidget;
    TWinControl* itsParent = nullptr;
    int itsLeft = 0;
    int itsTop = 0;
    int itsWidth = 0;
    int itsHeight = 0;
    TAlign itsAlign = alNone;
    bool itsVisible = true;
    bool itsEnabled = true;
    TColor itsColor = clBtnFace;
    bool itsParentColor = false;
    TFont itsFont;
    bool itsParentFont = true;
    bool itsSettingParentFont = false;
    std::string itsCaption;
    int itsTag = 0;
    std::unique_ptr<QImage> itsImage;
    std::unique_ptr<TCanvas> itsCanvas;
    bool itsOpaque = true;
    bool itsDirty = true;
    bool itsPainting = false;
    bool itsHandlesMouse = false;
    bool itsMousePressed = false;
    bool itsDestroying = false;
};

// A control that can hold other controls.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(itsControls.size()); }
    TControl* GetControl(int index) const { return itsControls.at(index); }

    // Lays the aligned children out again (runs by itself on every relevant change).
    void Realign();
    void DisableAlign() { ++itsAlignDisabled; }
    void EnableAlign();

    void SetFocus();
    bool Focused() const;
    bool CanFocus() const;
    int GetTabOrder() const { return itsTabOrder; }
    void SetTabOrder(int order) { itsTabOrder = order; }
    bool GetTabStop() const { return itsTabStop; }
    void SetTabStop(bool tabStop) { itsTabStop = tabStop; }

    // The widget that holds the children's widgets (usually the control's own widget).
    virtual QWidget* ClientWidget() const { return Widget(); }

    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

    bool WidgetEvent(QWidget* widget, QEvent* event) override;

protected:
    TWinControl(TComponent* AOwner, QWidget* widget);
    // The part of the client area that aligned children share (panels leave their borders).
    virtual void AdjustClientRect(TRect& rect) const { (void)rect; }
    void Resize() override;
    void FontChanged() override;
    void ColorChanged() override;
    // Raises OnKeyPress; returns the key as the handler left it.
    virtual char KeyPress(char key);

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void AlignControls(const TControl* moved);
    void ApplyBackground();

    std::vector<TControl*> itsControls;
    int itsAlignDisabled = 0;
    bool itsAligning = false;
    int itsTabOrder = -1;
    bool itsTabStop = false;
};

// A control without children that paints itself on its canvas.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
};

// A container that paints itself on its canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);

protected:
    TCustomControl(TComponent* AOwner, QWidget* widget);
    // Fills the client area with Color.
    void Paint() override;
};

// Runs an event handler reached from the window system; an exception it raises goes to the
// application's exception display instead of unwinding through Qt.
void CallGuarded(const std::function<void()>& handler);

} // namespace tk
