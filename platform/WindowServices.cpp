#include "platform/WindowServices.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace platform {

namespace {

// The X11 display of the application, or nullptr on another platform.
Display* X11Display() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->display() : nullptr;
}

// A 32-bit list property of the window (atoms, windows) of the given type; empty when the
// window or the property is gone.
std::vector<unsigned long> ListProperty(Display* display, ::Window window, const char* property,
                                        Atom wanted) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 1024, False,
                           wanted, &type, &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        values.assign(longs, longs + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return values;
}

// Whether a list property of the window (atoms) holds the named atom.
bool HasAtom(Display* display, ::Window window, const char* property, const char* name) {
    const auto atoms = ListProperty(display, window, property, XA_ATOM);
    return std::find(atoms.begin(), atoms.end(), XInternAtom(display, name, False)) != atoms.end();
}

// Adds an EWMH state (_NET_WM_STATE_...) to the window unless the server shows it there
// already, so that it is asked for once per mapping: the window manager drops the states of a
// window that is unmapped, and a request it has not seen yet (the window not managed yet) is
// made again on the next call. A mapped window asks the window manager through the root
// window; an unmapped one carries the state when it is mapped. The native window is kept as
// it is: Qt recreates it when its own stays-on-top flag changes, and a recreated window loses
// every state set on the one before.
void AddNetWmState(Display* display, QWindow* window, const char* name) {
    const ::Window id = static_cast<::Window>(window->winId());
    if (HasAtom(display, id, "_NET_WM_STATE", name)) {
        return;
    }
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom added = XInternAtom(display, name, False);
    if (window->isVisible()) {
        XEvent message{};
        message.xclient.type = ClientMessage;
        message.xclient.window = id;
        message.xclient.message_type = state;
        message.xclient.format = 32;
        message.xclient.data.l[0] = 1; // add
        message.xclient.data.l[1] = static_cast<long>(added);
        message.xclient.data.l[3] = 1; // from an application
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &message);
    } else {
        XChangeProperty(display, id, state, XA_ATOM, 32, PropModeAppend,
                        reinterpret_cast<const unsigned char*>(&added), 1);
    }
    XFlush(display);
}

// The highest window with the above state that the window manager stacks over the window;
// None when the window is on top of them, carries no above state itself or is not managed.
// Only such windows share its layer: one the manager keeps higher (a dock, a full-screen
// window) can never be passed, and asking again each time would never end.
::Window HighestTopmostOver(Display* display, ::Window window) {
    if (!HasAtom(display, window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE")) {
        return None;
    }
    const ::Window root = DefaultRootWindow(display);
    const auto stacking = ListProperty(display, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    const auto own = std::find(stacking.begin(), stacking.end(), window);
    if (own == stacking.end()) {
        return None;
    }
    for (auto other = stacking.end(); --other != own;) {
        if (HasAtom(display, *other, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE")) {
            return *other;
        }
    }
    return None;
}

// Asks the window manager to stack the window above the sibling without activating it. Where
// the manager takes _NET_RESTACK_WINDOW it is asked as a pager asks (source 2), the only source
// that managers obey, naming the sibling (Openbox stacks the window right above it; metacity
// raises it within its layer); elsewhere (xfwm4) by a ConfigureRequest naming the sibling, sent
// to the root window: a manager may activate a window that raises itself without a sibling.
void RestackAbove(Display* display, ::Window window, ::Window sibling) {
    const ::Window root = DefaultRootWindow(display);
    XEvent message{};
    if (HasAtom(display, root, "_NET_SUPPORTED", "_NET_RESTACK_WINDOW")) {
        message.xclient.type = ClientMessage;
        message.xclient.window = window;
        message.xclient.message_type = XInternAtom(display, "_NET_RESTACK_WINDOW", False);
        message.xclient.format = 32;
        message.xclient.data.l[0] = 2; // from a pager
        message.xclient.data.l[1] = static_cast<long>(sibling);
        message.xclient.data.l[2] = Above;
    } else {
        message.xconfigurerequest.type = ConfigureRequest;
        message.xconfigurerequest.parent = root;
        message.xconfigurerequest.window = window;
        message.xconfigurerequest.above = sibling;
        message.xconfigurerequest.detail = Above;
        message.xconfigurerequest.value_mask = CWSibling | CWStackMode;
    }
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &message);
    XFlush(display);
}

// The window that the window manager reports active; None when it reports none.
::Window ActiveWindow(Display* display) {
    const auto active =
        ListProperty(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return active.empty() ? None : active.front();
}

// The window that holds the keyboard focus.
::Window FocusWindow(Display* display) {
    ::Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus;
}

// Whether the window is a top-level window of this program.
bool IsOwnWindow(::Window window) {
    const auto windows = QGuiApplication::topLevelWindows();
    return window != None && std::any_of(windows.begin(), windows.end(), [&](QWindow* own) {
               return own->handle() != nullptr && static_cast<::Window>(own->winId()) == window;
           });
}

// Activates the window while another window of this program holds the focus: the keys then go
// to the window kept on top, not to the one behind it that had them. The focus of other
// programs is never taken. Both the active window and the keyboard focus are asked, since
// xfwm4 at times reports no active window while one of ours has the keys.
void ActivateWithinProgram(Display* display, QWindow* window) {
    const auto id = static_cast<::Window>(window->winId());
    const ::Window focus = FocusWindow(display);
    const ::Window active = ActiveWindow(display);
    if (focus != id && active != id && (IsOwnWindow(focus) || IsOwnWindow(active))) {
        window->requestActivate();
    }
}

// A minimised window asks the window manager to remove its hidden state (Openbox and xfwm4
// restore it so, without activating it) and maps itself as well (metacity ignores that request
// and restores a window that maps itself). The user time 0 says that no user action asked for
// the mapping, so that no manager activates the window for it (Openbox and xfwm4 otherwise do).
void RestoreWithoutFocus(Display* display, QWindow* window) {
    const ::Window id = static_cast<::Window>(window->winId());
    const auto timeWindow = ListProperty(display, id, "_NET_WM_USER_TIME_WINDOW", XA_WINDOW);
    const long never = 0;
    XChangeProperty(display, timeWindow.empty() ? id : timeWindow.front(),
                    XInternAtom(display, "_NET_WM_USER_TIME", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&never), 1);
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = id;
    message.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = 0; // remove
    message.xclient.data.l[1] =
        static_cast<long>(XInternAtom(display, "_NET_WM_STATE_HIDDEN", False));
    message.xclient.data.l[3] = 1; // from an application
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &message);
    XMapWindow(display, id);
    XFlush(display);
}

// The Motif window manager hints: which functions and decorations the frame offers.
constexpr unsigned long kMwmHintsFunctions = 1;
constexpr unsigned long kMwmHintsDecorations = 2;
constexpr unsigned long kMwmFuncResize = 2;
constexpr unsigned long kMwmFuncMove = 4;
constexpr unsigned long kMwmFuncMinimize = 8;
constexpr unsigned long kMwmFuncMaximize = 16;
constexpr unsigned long kMwmFuncClose = 32;
constexpr unsigned long kMwmDecorBorder = 2;
constexpr unsigned long kMwmDecorResizeH = 4;
constexpr unsigned long kMwmDecorTitle = 8;
constexpr unsigned long kMwmDecorMenu = 16;
constexpr unsigned long kMwmDecorMinimize = 32;
constexpr unsigned long kMwmDecorMaximize = 64;

struct MotifHints {
    unsigned long Flags = kMwmHintsFunctions | kMwmHintsDecorations;
    unsigned long Functions = 0;
    unsigned long Decorations = 0;
    long InputMode = 0;
    unsigned long WindowStatus = 0;
};

MotifHints MotifHintsOf(unsigned frame) {
    MotifHints hints;
    if ((frame & FrameTitle) == 0) {
        return hints;
    }
    hints.Functions = kMwmFuncMove;
    hints.Decorations = kMwmDecorBorder | kMwmDecorTitle;
    const std::pair<unsigned, std::pair<unsigned long, unsigned long>> parts[] = {
        {FrameResize, {kMwmFuncResize, kMwmDecorResizeH}},
        {FrameSystemMenu, {kMwmFuncClose, kMwmDecorMenu}},
        {FrameMinimize, {kMwmFuncMinimize, kMwmDecorMinimize}},
        {FrameMaximize, {kMwmFuncMaximize, kMwmDecorMaximize}},
    };
    for (const auto& [flag, bits] : parts) {
        if (frame & flag) {
            hints.Functions |= bits.first;
            hints.Decorations |= bits.second;
        }
    }
    return hints;
}

void SetMotifHints(Display* display, QWindow* window, unsigned frame) {
    const MotifHints hints = MotifHintsOf(frame);
    const Atom atom = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, static_cast<::Window>(window->winId()), atom, atom, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&hints), 5);
    XFlush(display);
}

WindowServices* gInstalled = nullptr;

} // namespace

// The above state keeps the window over the others; a window that took that state later is
// stacked over it, so the window is restacked above such a window, and only then: nothing is
// sent while it is on top. It is never raised where the window manager offers the above state,
// since some managers (xfwm4) activate a window that raises itself. Only where no manager offers
// that state is the window raised, and there nobody activates it.
void DesktopWindowServices::MakeTopmost(QWindow* window, unsigned flags) {
    if (window == nullptr) {
        return;
    }
    if (window->modality() != Qt::NonModal && (window->windowStates() & Qt::WindowMinimized)) {
        window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
    }
    Display* display = X11Display();
    if (display == nullptr) {
        window->setFlag(Qt::WindowStaysOnTopHint, true);
        return;
    }
    AddNetWmState(display, window, "_NET_WM_STATE_ABOVE");
    if ((flags & WindowPosNoActivate) == 0) {
        ActivateWithinProgram(display, window);
    }
    if (!HasAtom(display, DefaultRootWindow(display), "_NET_SUPPORTED", "_NET_WM_STATE_ABOVE")) {
        window->raise();
        return;
    }
    if ((flags & WindowPosNoRestack) != 0) {
        return;
    }
    const auto id = static_cast<::Window>(window->winId());
    const ::Window over = HighestTopmostOver(display, id);
    if (over != None) {
        RestackAbove(display, id, over);
    }
}

void DesktopWindowServices::Restore(QWindow* window) {
    if (window == nullptr || (window->windowStates() & Qt::WindowMinimized) == 0) {
        return;
    }
    Display* display = X11Display();
    if (display == nullptr) {
        window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
        return;
    }
    RestoreWithoutFocus(display, window);
}

ScreenSize DesktopWindowServices::PrimaryScreenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    return {screen->size().width(), screen->size().height()};
}

FrameExtents DesktopWindowServices::FrameOf(QWindow* window) {
    Display* display = X11Display();
    if (window == nullptr || display == nullptr) {
        return {};
    }
    const auto extents = ListProperty(display, static_cast<::Window>(window->winId()),
                                      "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (extents.size() != 4) {
        return {};
    }
    return {static_cast<int>(extents[0]), static_cast<int>(extents[1]),
            static_cast<int>(extents[2]), static_cast<int>(extents[3])};
}

void DesktopWindowServices::HideTaskbarButton(QWindow* window) {
    Display* display = X11Display();
    if (window != nullptr && display != nullptr) {
        AddNetWmState(display, window, "_NET_WM_STATE_SKIP_TASKBAR");
    }
}

void DesktopWindowServices::SetFrame(QWindow* window, unsigned frame) {
    Display* display = X11Display();
    if (window != nullptr && display != nullptr) {
        SetMotifHints(display, window, frame);
    }
}

void RecordingWindowServices::MakeTopmost(QWindow* window, unsigned flags) {
    itsCalls.push_back({CallKind::MakeTopmost, window, flags});
}

void RecordingWindowServices::Restore(QWindow* window) {
    itsCalls.push_back({CallKind::Restore, window, 0});
}

ScreenSize RecordingWindowServices::PrimaryScreenSize() {
    itsCalls.push_back({CallKind::PrimaryScreenSize, nullptr, 0});
    return itsScreen;
}

FrameExtents RecordingWindowServices::FrameOf(QWindow* window) {
    itsCalls.push_back({CallKind::FrameOf, window, 0});
    return itsFrame;
}

void RecordingWindowServices::HideTaskbarButton(QWindow* window) {
    itsCalls.push_back({CallKind::HideTaskbarButton, window, 0});
}

void RecordingWindowServices::SetFrame(QWindow* window, unsigned frame) {
    itsCalls.push_back({CallKind::SetFrame, window, frame});
}

std::vector<RecordingWindowServices::Call> RecordingWindowServices::CallsOf(CallKind kind) const {
    std::vector<Call> calls;
    for (const Call& call : itsCalls) {
        if (call.Kind == kind) {
            calls.push_back(call);
        }
    }
    return calls;
}

WindowServices& WindowServicesInstance() {
    static DesktopWindowServices desktop;
    return gInstalled != nullptr ? *gInstalled : desktop;
}

WindowServices* SetWindowServices(WindowServices* services) {
    WindowServices* previous = &WindowServicesInstance();
    gInstalled = services;
    return previous;
}

} // namespace platform
