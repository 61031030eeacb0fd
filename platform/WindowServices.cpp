#include "platform/WindowServices.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace platform {

namespace {

// Asks the X11 window manager to leave the window off the taskbar (an EWMH state). A mapped
// window is asked through the root window; an unmapped one carries the state when mapped.
void SkipTaskbarOnX11(QWindow* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) {
        return;
    }
    Display* display = x11->display();
    const ::Window id = static_cast<::Window>(window->winId());
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom skip = XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False);
    if (window->isVisible()) {
        XEvent message{};
        message.xclient.type = ClientMessage;
        message.xclient.window = id;
        message.xclient.message_type = state;
        message.xclient.format = 32;
        message.xclient.data.l[0] = 1; // add
        message.xclient.data.l[1] = static_cast<long>(skip);
        message.xclient.data.l[3] = 1; // from an application
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &message);
    } else {
        XChangeProperty(display, id, state, XA_ATOM, 32, PropModeAppend,
                        reinterpret_cast<const unsigned char*>(&skip), 1);
    }
    XFlush(display);
}

WindowServices* gInstalled = nullptr;

} // namespace

void DesktopWindowServices::MakeTopmost(QWindow* window, unsigned flags) {
    if (window == nullptr) {
        return;
    }
    window->setFlag(Qt::WindowStaysOnTopHint, true);
    window->raise();
    if ((flags & WindowPosNoActivate) == 0) {
        window->requestActivate();
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
    if (window != nullptr && QGuiApplication::platformName() == QLatin1String("xcb")) {
        SkipTaskbarOnX11(window);
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
