#include "toolkit/Forms.h"

#include "platform/WindowServices.h"
#include "toolkit/WidgetBridge.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <iostream>
#include <memory>

namespace tk {

TApplication* const Application = new TApplication();

namespace {

// Whether the X server holds the key (by its native code) down at this moment; false off X11.
bool ServerHoldsKey(quint32 keycode) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr || keycode == 0 || keycode > 255) {
        return false;
    }
    const std::unique_ptr<xcb_query_keymap_reply_t, decltype(&std::free)> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    return keymap != nullptr && ((keymap->keys[keycode / 8] >> (keycode % 8)) & 1) != 0;
}

// Lets a form look at the keys typed into it before its controls do (KeyPreview), press its
// buttons on Enter or Esc, and draw the button Enter presses as the default one.
class FormKeyFilter : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::EnabledChange:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            EnterButtonMayChange(object);
            return false;
        case QEvent::KeyRelease:
            return Released(object, static_cast<QKeyEvent*>(event));
        case QEvent::KeyPress:
            return object->isWidgetType() &&
                   Pressed(static_cast<QWidget*>(object), static_cast<QKeyEvent*>(event));
        default:
            return false;
        }
    }

private:
    static TForm* FormOf(const QWidget* widget) {
        return dynamic_cast<TForm*>(ControlOfWidget(widget->window()));
    }

    // The focus came to this widget, or it was enabled, disabled, shown or hidden: Enter may
    // press another button now. A hidden form works it out as it shows.
    static void EnterButtonMayChange(QObject* object) {
        if (!object->isWidgetType()) {
            return;
        }
        const auto* widget = static_cast<QWidget*>(object);
        TForm* form = FormOf(widget);
        if (form != nullptr && widget->window()->isVisible()) {
            form->UpdateDefaultButton();
        }
    }

    bool Pressed(QWidget* widget, QKeyEvent* press) {
        const bool repeated = IsRepeat(press);
        QWidget* window = widget->window();
        TForm* form = FormOf(widget);
        if (form == nullptr || !IsFirstReceiver(widget, window, press->spontaneous()) ||
            (widget == window && CameUpFromAControl(press))) {
            return false;
        }
        bool swallowed = false;
        CallGuarded([&] { swallowed = !form->PreviewKey(press, repeated); });
        itsPreviewed = widget != window && !swallowed
                           ? Previewed{press, press->timestamp(), press->key()}
                           : Previewed{};
        return swallowed;
    }

    // Every release reaches its control at once, so a click never waits for a later event
    // and never runs inside one. One is swallowed: a Space release at a focused button while
    // the server still holds the key down. That is an auto-repeat the platform did not flag;
    // the button stays pressed and clicks at the release that comes as the key goes up.
    bool Released(const QObject* receiver, const QKeyEvent* release) {
        itsReleasedKey = release->key();
        itsReleasedAt = release->timestamp();
        itsPreviewed = {};
        const auto* button = qobject_cast<const QAbstractButton*>(receiver);
        return release->key() == Qt::Key_Space && !release->isAutoRepeat() &&
               release->spontaneous() && button != nullptr &&
               button == QApplication::focusWidget() && ServerHoldsKey(release->nativeScanCode());
    }

    // A key event travels from the focused widget up to the window; the form looks at it
    // once, at its first stop. A key sent by code straight to the window starts there.
    static bool IsFirstReceiver(QWidget* widget, QWidget* window, bool spontaneous) {
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && focus->window() == window && widget == focus) {
            return true;
        }
        return widget == window && (!spontaneous || focus == nullptr || focus->window() != window);
    }

    // A key that a control did not take goes on up to the window, no longer marked as coming
    // from the platform; the form has looked at it already.
    bool CameUpFromAControl(const QKeyEvent* press) {
        const bool same = press == itsPreviewed.Press &&
                          press->timestamp() == itsPreviewed.Timestamp &&
                          press->key() == itsPreviewed.Key;
        itsPreviewed = {};
        return same;
    }

    // A held key repeats. The platform flags most repeats, but on X11 a repeat arrives as a
    // release and a press with one time stamp, and the flag is missed when the press is not
    // queued yet; such a release does not reach a focused button (see Released), and the press
    // is told by its time stamp. A key the server still holds down (a synthetic press
    // whose release went elsewhere) repeats into whichever window has the focus, so repeats
    // must not press buttons. (The server's detectable auto-repeat would drop the releases,
    // but then Qt flags no repeat at all, and a key held down before the window had the focus
    // could not be told from a new press.)
    bool IsRepeat(const QKeyEvent* press) const {
        return press->isAutoRepeat() ||
               (press->timestamp() != 0 && press->key() == itsReleasedKey &&
                press->timestamp() == itsReleasedAt);
    }

    int itsReleasedKey = 0;
    quint64 itsReleasedAt = 0;
    // The press the form last looked at in one of its controls.
    struct Previewed {
        const QKeyEvent* Press = nullptr;
        quint64 Timestamp = 0;
        int Key = 0;
    } itsPreviewed;
};

void InstallFormKeyFilter() {
    static FormKeyFilter* filter = nullptr;
    if (filter == nullptr && QCoreApplication::instance() != nullptr) {
        filter = new FormKeyFilter();
        QCoreApplication::instance()->installEventFilter(filter);
    }
}

// The first visible, enabled button of the form with Default (or Cancel) set.
TButton* FindButton(TWinControl* parent, bool isDefault) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* control = parent->GetControl(i);
        if (!control->GetVisible() || !control->GetEnabled()) {
            continue;
        }
        if (auto* button = dynamic_cast<TButton*>(control)) {
            if (isDefault ? button->GetDefault() : button->GetCancel()) {
                return button;
            }
        } else if (auto* container = dynamic_cast<TWinControl*>(control)) {
            if (TButton* found = FindButton(container, isDefault)) {
                return found;
            }
        }
    }
    return nullptr;
}

// What a form's frame offers. As in the component library, the minimise and maximise boxes
// come with the system menu only, and a dialog or tool window has neither.
unsigned FrameOf(TFormBorderStyle style, TBorderIcons icons) {
    if (style == bsNone) {
        return 0;
    }
    unsigned frame = platform::FrameTitle;
    if (style == bsSizeable || style == bsSizeToolWin) {
        frame |= platform::FrameResize;
    }
    if (icons & biSystemMenu) {
        frame |= platform::FrameSystemMenu;
        const bool boxes = style == bsSingle || style == bsSizeable;
        if (boxes && (icons & biMinimize)) {
            frame |= platform::FrameMinimize;
        }
        if (boxes && (icons & biMaximize)) {
            frame |= platform::FrameMaximize;
        }
    }
    return frame;
}

// The button of the form that has the keyboard focus, if the focus is on a button.
TButton* FocusedButton(TForm* form) {
    QWidget* focus = form->Widget()->focusWidget();
    auto* button = focus != nullptr ? dynamic_cast<TButton*>(ControlOfWidget(focus)) : nullptr;
    return button != nullptr && button->CanFocus() ? button : nullptr;
}

// The button Enter presses: the focused button, else the form's Default button.
TButton* EnterButton(TForm* form) {
    TButton* focused = FocusedButton(form);
    return focused != nullptr ? focused : FindButton(form, true);
}

QRect ScreenGeometry() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace

// ---- TFrame ----

TFrame::TFrame(TComponent* AOwner) : TCustomControl(AOwner) {
    SetParentColor(true);
    SetBounds(0, 0, 320, 240);
}

// ---- TForm ----

TForm::TForm(TComponent* AOwner)
    : TCustomControl(AOwner, new BridgedWidget(this)), itsAlive(std::make_shared<bool>(true)) {
    InstallFormKeyFilter();
    itsClient = new BridgedWidget(this);
    itsClient->setParent(Widget());
    itsClient->setAttribute(Qt::WA_OpaquePaintEvent);
    itsClient->show();
    Widget()->setAttribute(Qt::WA_OpaquePaintEvent, false);
    itsIcon.OnChange = [this](TObject*) { Widget()->setWindowIcon(itsIcon.Icon()); };
    TControl::SetVisible(false);
    SetBounds(0, 0, 320, 240);
    ApplyWindowFlags();
}

TForm::~TForm() {
    *itsAlive = false;
    static_cast<BridgedWidget*>(itsClient)->Detach();
    if (itsModalLoop != nullptr) {
        itsModalLoop->exit(-1);
        itsModalLoop = nullptr;
    }
}

QWidget* TForm::ClientWidget() const {
    return itsClient;
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    itsBorderStyle = style;
    ApplyWindowFlags();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    itsBorderIcons = icons;
    ApplyWindowFlags();
}

void TForm::SetPosition(TPosition position) {
    itsPosition = position;
}

void TForm::SetWindowState(TWindowState state) {
    itsWindowState = state;
    if (!Widget()->isVisible()) {
        return; // applied when the form is shown
    }
    switch (state) {
    case wsMaximized:
        // Without a window manager nothing answers the maximise request: cover the screen.
        Widget()->setGeometry(ScreenGeometry());
        Widget()->showMaximized();
        break;
    case wsMinimized:
        Widget()->showMinimized();
        break;
    default:
        Widget()->showNormal();
        break;
    }
    SyncGeometryFromWindow();
}

void TForm::SetMenu(TMainMenu* menu) {
    itsMenu = menu;
    if (menu != nullptr) {
        if (itsMenuBar == nullptr) {
            itsMenuBar = new QMenuBar(Widget());
            itsMenuBar->setNativeMenuBar(false);
        }
        // In the form's font, so that the menu's height, and with it where the client area
        // starts, follows the form and not the desktop's font.
        itsMenuBar->setFont(GetFont()->ToQFont());
        menu->BuildMenuBar(itsMenuBar);
        itsMenuBar->show();
    } else if (itsMenuBar != nullptr) {
        itsMenuBar->hide();
    }
    LayoutWindow();
    ClientSizeChanged();
}

int TForm::MenuHeight() const {
    return itsMenu != nullptr && itsMenuBar != nullptr ? itsMenuBar->sizeHint().height() : 0;
}

int TForm::GetClientWidth() const {
    return GetWidth();
}

int TForm::GetClientHeight() const {
    return std::max(0, GetHeight() - MenuHeight());
}

void TForm::SetClientWidth(int width) {
    SetBounds(GetLeft(), GetTop(), width, GetHeight());
}

void TForm::SetClientHeight(int height) {
    SetBounds(GetLeft(), GetTop(), GetWidth(), height + MenuHeight());
}

bool TForm::FixedSize() const {
    return itsBorderStyle == bsSingle || itsBorderStyle == bsDialog;
}

void TForm::ApplyGeometry() {
    QWidget* window = Widget();
    if (GetParent() != nullptr) {
        TCustomControl::ApplyGeometry();
    } else {
        // A shown window reports the move at once, with its old size, and that report
        // overwrites the size asked for; so the size is taken before moving.
        const int width = GetWidth();
        const int height = GetHeight();
        window->move(GetLeft(), GetTop());
        if (FixedSize()) {
            window->setFixedSize(width, height);
        } else {
            window->setMinimumSize(0, 0);
            window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            window->resize(width, height);
        }
    }
    LayoutWindow();
}

// The menu bar across the top, the client area under it.
void TForm::LayoutWindow() {
    const int menu = MenuHeight();
    if (itsMenuBar != nullptr) {
        itsMenuBar->setGeometry(0, 0, GetWidth(), menu);
    }
    itsClient->setGeometry(0, menu, GetWidth(), std::max(0, GetHeight() - menu));
}

void TForm::SyncGeometryFromWindow() {
    if (GetParent() != nullptr) {
        return;
    }
    const QWidget* window = Widget();
    const QPoint place = window->pos();
    const QSize size = window->size();
    if (place.x() == GetLeft() && place.y() == GetTop() && size.width() == GetWidth() &&
        size.height() == GetHeight()) {
        return;
    }
    SizeChangedByWidget(place.x(), place.y(), size.width(), size.height());
    LayoutWindow();
}

void TForm::ApplyWindowFlags() {
    QWidget* window = Widget();
    Qt::WindowFlags flags = Qt::Window;
    if (itsBorderStyle == bsNone) {
        flags |= Qt::FramelessWindowHint;
    } else {
        if (itsBorderStyle == bsDialog) {
            flags = Qt::Dialog;
        }
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (itsBorderIcons & biSystemMenu) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        }
        if (itsBorderStyle != bsDialog && (itsBorderIcons & biMinimize)) {
            flags |= Qt::WindowMinimizeButtonHint;
        }
        if (itsBorderStyle != bsDialog && (itsBorderIcons & biMaximize)) {
            flags |= Qt::WindowMaximizeButtonHint;
        }
    }
    flags |= window->windowFlags() & Qt::WindowStaysOnTopHint;
    if (flags != window->windowFlags()) {
        const bool wasVisible = window->isVisible();
        window->setWindowFlags(flags);
        if (wasVisible) {
            ApplyFrame();
            window->show();
        }
    }
    ApplyGeometry();
}

// The frame the window manager offers follows the border style and icons alone; a dialog
// stays with the form it belongs to (its owner form, else the main form).
void TForm::ApplyFrame() {
    QWindow* handle = GetHandle();
    if (itsBorderStyle == bsDialog) {
        TForm* owner = dynamic_cast<TForm*>(GetOwner());
        if (owner == nullptr || owner == this) {
            owner = Application->GetMainForm();
        }
        handle->setTransientParent(owner != nullptr && owner != this ? owner->GetHandle()
                                                                     : nullptr);
    }
    platform::WindowServicesInstance().SetFrame(handle, FrameOf(itsBorderStyle, itsBorderIcons));
}

// A form placed at a centre is placed there on every show, wherever that centre has moved.
void TForm::PlaceOnShow() {
    if (GetParent() != nullptr) {
        return;
    }
    QRect area;
    switch (itsPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        area = ScreenGeometry();
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TForm* over = itsPosition == poOwnerFormCenter ? dynamic_cast<TForm*>(GetOwner()) : nullptr;
        if (over == nullptr) {
            over = Application->GetMainForm();
        }
        area = over != nullptr && over != this
                   ? QRect(over->GetLeft(), over->GetTop(), over->GetWidth(), over->GetHeight())
                   : ScreenGeometry();
        break;
    }
    default:
        return;
    }
    SetBounds(area.x() + (area.width() - GetWidth()) / 2,
              area.y() + (area.height() - GetHeight()) / 2, GetWidth(), GetHeight());
    // Left and Top are the frame's place. A hidden window that was shown before no longer
    // knows its frame, so the window manager is told the frame's place itself.
    if (QWindow* handle = Widget()->windowHandle()) {
        handle->setFramePosition(QPoint(GetLeft(), GetTop()));
    }
}

void TForm::SetVisible(bool visible) {
    TCustomControl::SetVisible(visible);
    if (!visible && itsModalLoop != nullptr) {
        itsModalLoop->quit();
    }
}

void TForm::ApplyVisible() {
    if (GetParent() != nullptr) {
        TCustomControl::ApplyVisible();
        return;
    }
    QWidget* window = Widget();
    if (GetVisible()) {
        if (window->isVisible()) {
            return;
        }
        DoCreate();
        ApplyWindowFlags();
        PlaceOnShow();
        ApplyFrame();
        DoShow();
        if (!GetVisible()) {
            return; // OnShow hid it again
        }
        UpdateDefaultButton();
        if (itsWindowState == wsMaximized) {
            window->setGeometry(ScreenGeometry());
            window->showMaximized();
        } else if (itsWindowState == wsMinimized) {
            window->showMinimized();
        } else {
            window->show();
        }
        SyncGeometryFromWindow();
    } else if (window->isVisible()) {
        window->hide();
        DoHide();
    }
}

void TForm::Show() {
    SetVisible(true);
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        Widget()->raise();
    }
}

void TForm::DoCreate() {
    if (itsCreated) {
        return;
    }
    itsCreated = true;
    if (OnCreate) {
        OnCreate(this);
    }
}

void TForm::CaptionChanged() {
    Widget()->setWindowTitle(QString::fromStdString(GetCaption()));
}

void TForm::DoShow() {
    if (OnShow) {
        OnShow(this);
    }
}

void TForm::DoHide() {
    if (OnHide) {
        OnHide(this);
    }
}

void TForm::DoClose(TCloseAction& action) {
    if (OnClose) {
        OnClose(this, action);
    }
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) {
        OnCloseQuery(this, canClose);
    }
    return canClose;
}

void TForm::Close() {
    if (IsModal()) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) {
        return;
    }
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) {
        return;
    }
    if (Application->GetMainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    case caFree:
        Release();
        break;
    default:
        Hide();
        break;
    }
}

void TForm::SetModalResult(TModalResult result) {
    itsModalResult = result;
    if (itsModalLoop != nullptr && result != mrNone) {
        itsModalLoop->quit();
    }
}

// Ending a modal display: OnCloseQuery and OnClose may still keep the form open.
void TForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone) {
        itsModalResult = mrNone;
    } else if (action == caFree) {
        Release();
    }
}

TModalResult TForm::ShowModal() {
    if (IsModal() || Widget()->isVisible()) {
        throw Exception("Cannot make a visible window modal");
    }
    const std::shared_ptr<bool> alive = itsAlive;
    QEventLoop loop;
    itsModalResult = mrNone;
    itsModalLoop = &loop;
    Widget()->setWindowModality(Qt::ApplicationModal);
    try {
        Show();
    } catch (...) {
        itsModalLoop = nullptr;
        Widget()->setWindowModality(Qt::NonModal);
        throw;
    }
    for (;;) {
        if (Application->GetTerminated()) {
            itsModalResult = mrCancel;
            break;
        }
        if (itsModalResult != mrNone) {
            CloseModal();
            if (itsModalResult != mrNone) {
                break;
            }
            continue;
        }
        if (!GetVisible()) {
            itsModalResult = mrCancel;
            break;
        }
        if (loop.exec() < 0) {
            if (!*alive) {
                return mrCancel; // the form was destroyed while it was shown
            }
            itsModalResult = mrCancel; // the event loops are ending
            break;
        }
    }
    itsModalLoop = nullptr;
    Hide();
    Widget()->setWindowModality(Qt::NonModal);
    return itsModalResult;
}

void TForm::Release() {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, alive = itsAlive] {
            if (*alive) {
                delete this;
            }
        },
        Qt::QueuedConnection);
}

QWindow* TForm::GetHandle() {
    QWidget* window = Widget()->window();
    window->winId();
    return window->windowHandle();
}

// As in the component library: Enter presses the focused button, else the default button;
// Esc presses the cancel button. Space is the focused button's own (it clicks on release).
bool TForm::PreviewKey(QEvent* event, bool repeated) {
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (itsKeyPreview) {
        const char typed = KeyCharOf(keyEvent);
        if (typed != 0 && KeyPress(typed) == 0) {
            return false;
        }
    }
    const int key = keyEvent->key();
    if (key == Qt::Key_Space) {
        // A repeat must not press a focused button down again: its release would click it.
        return !repeated || qobject_cast<QAbstractButton*>(Widget()->focusWidget()) == nullptr;
    }
    const bool escape = key == Qt::Key_Escape;
    if (!escape && key != Qt::Key_Return && key != Qt::Key_Enter) {
        return true;
    }
    if (repeated) {
        return false; // only the key going down presses a button
    }
    TButton* button = escape ? FindButton(this, false) : EnterButton(this);
    if (button != nullptr) {
        button->Click();
        return false;
    }
    return true;
}

// The focused button looks like the default while it has the focus; elsewhere the Default
// button does. So the button drawn as the default is always the one Enter presses.
void TForm::UpdateDefaultButton() {
    const TButton* drawn = EnterButton(this);
    for (QPushButton* push : Widget()->findChildren<QPushButton*>()) {
        if (const auto* button = dynamic_cast<TButton*>(ControlOfWidget(push))) {
            push->setDefault(button == drawn);
        }
    }
}

bool TForm::WidgetEvent(QWidget* widget, QEvent* event) {
    // With KeyPreview the form has seen the key already, wherever in the form it arrives.
    if (itsKeyPreview && (widget == Widget() || widget == itsClient) &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        return false;
    }
    if (widget == Widget()) {
        switch (event->type()) {
        case QEvent::Close:
            event->ignore();
            Close();
            return true;
        case QEvent::Resize:
        case QEvent::Move:
            SyncGeometryFromWindow();
            return false;
        case QEvent::WindowStateChange:
            if (Widget()->isMaximized()) {
                itsWindowState = wsMaximized;
            } else if (Widget()->isMinimized()) {
                itsWindowState = wsMinimized;
            } else {
                itsWindowState = wsNormal;
            }
            return false;
        default:
            break;
        }
    }
    return TCustomControl::WidgetEvent(widget, event);
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) {
    // The application's icon is every window's default icon.
    itsIcon.OnChange = [this](TObject*) {
        if (QGuiApplication::instance() != nullptr) {
            QGuiApplication::setWindowIcon(itsIcon.Icon());
        }
    };
}

TApplication::~TApplication() = default;

void TApplication::Initialize(int& argc, char** argv) {
    if (QCoreApplication::instance() == nullptr) {
        itsOwnApp = std::make_unique<QApplication>(argc, argv);
    }
    Initialize();
}

void TApplication::Initialize() {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // Hiding the last window (a program that hides its main form) must not end the run.
        app->setQuitOnLastWindowClosed(false);
    }
    InstallFormKeyFilter();
    itsExeName = GetExeName();
}

void TApplication::SetTitle(const std::string& title) {
    itsTitle = title;
}

std::string TApplication::GetExeName() const {
    if (!itsExeName.empty() || QCoreApplication::instance() == nullptr) {
        return itsExeName;
    }
    return QCoreApplication::applicationFilePath().toStdString();
}

void TApplication::FormCreated(TForm* form) {
    if (itsMainForm == nullptr) {
        itsMainForm = form;
    }
    form->DoCreate();
}

void TApplication::ComponentRemoved(TComponent* component) {
    if (component == itsMainForm) {
        itsMainForm = nullptr;
    }
}

void TApplication::Run() {
    if (itsMainForm != nullptr && !itsTerminated) {
        itsMainForm->Show();
    }
    if (!itsTerminated && QCoreApplication::instance() != nullptr) {
        QCoreApplication::exec();
    }
    DestroyForms();
}

void TApplication::Terminate() {
    itsTerminated = true;
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::exit(0);
    }
}

void TApplication::ProcessMessages() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

void TApplication::DestroyForms() {
    while (ComponentCount() > 0) {
        delete Component(ComponentCount() - 1);
    }
}

void TApplication::ShowException(const std::exception& e) {
    // A message ending in a letter or digit gets a full stop, as the standard box writes it.
    std::string message = e.what();
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        message += '.';
    }
    if (ExceptionDisplay) {
        ExceptionDisplay(message);
        return;
    }
    const QString platform = QGuiApplication::platformName();
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
        platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        std::cerr << (itsTitle.empty() ? "Error" : itsTitle) << ": " << message << std::endl;
        return;
    }
    QMessageBox::critical(nullptr, QString::fromUtf8(itsTitle.c_str()),
                          QString::fromUtf8(message.c_str()));
}

} // namespace tk
