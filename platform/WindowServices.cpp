#include "platform/WindowServices.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <utility>

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

// Whether a 32-bit list property of the window (atoms) holds the named atom.
bool HasAtom(Display* display, ::Window window, const char* property, const char* name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 1024, False,
                           XA_ATOM, &type, &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32) {
        const Atom wanted = XInternAtom(display, name, False);
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        found = std::find(atoms, atoms + count, wanted) != atoms + count;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return found;
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

// The above state keeps the window over the others without restacking it, since some window
// managers (xfwm4) activate a window that raises itself. Only where no window manager offers
// that state is the window raised, and there nobody activates it.
void DesktopWindowServices::MakeTopmost(QWindow* window, unsigned /*flags*/) {
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
    if (!HasAtom(display, DefaultRootWindow(display), "_NET_SUPPORTED", "_NET_WM_STATE_ABOVE")) {
        window->raise();
    }
}

ScreenSize DesktopWindowServices::PrimaryScreenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    return {screen->size().width(), screen->size().height()};
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

ScreenSize RecordingWindowServices::PrimaryScreenSize() {
    itsCalls.push_back({CallKind::PrimaryScreenSize, nullptr, 0});
    return itsScreen;
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
