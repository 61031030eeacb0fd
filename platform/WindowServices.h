// Window services of the desktop that forms and components call: keeping a window above all
// others, the primary screen's size, hiding a window's taskbar button and telling the window
// manager what a window's frame offers. Code reaches them
// through platform::WindowServicesInstance(); tests install a RecordingWindowServices to see
// which calls were made without touching real windows.
#pragma once

#include <vector>

class QWindow;

namespace platform {

// Flags of a topmost request. NoMove and NoSize keep the window's place and size (the only
// way this system asks); NoActivate says that the caller does not want the window activated.
// NoRestack keeps the window above the windows that are not topmost but leaves its order among
// topmost windows as it is, so that it never takes turns on top with another topmost window
// that restacks itself.
enum WindowPosFlag : unsigned {
    WindowPosNoMove = 0x0001,
    WindowPosNoSize = 0x0002,
    WindowPosNoRestack = 0x0004,
    WindowPosNoActivate = 0x0010,
};

// What a window's frame offers the user, combined with |. Without FrameTitle the window has no
// frame at all.
enum FrameFlag : unsigned {
    FrameTitle = 0x01,
    FrameResize = 0x02,
    FrameSystemMenu = 0x04, // the window menu and the close box
    FrameMinimize = 0x08,
    FrameMaximize = 0x10,
};

struct ScreenSize {
    int Width = 0;
    int Height = 0;
};

class WindowServices {
public:
    virtual ~WindowServices() = default;
    // Puts the window above every window that is not itself topmost, and above topmost
    // windows stacked over it (ones that became topmost later). It never takes the keyboard
    // focus from another program, whatever the flags say: a window is activated only where
    // its program asks for the focus. A modal window that was minimised is restored, so that
    // its program never waits on a window out of view.
    virtual void MakeTopmost(QWindow* window, unsigned flags) = 0;
    // The primary screen's size in pixels.
    virtual ScreenSize PrimaryScreenSize() = 0;
    // Removes the window's button from the taskbar. Every top-level window carries its own
    // button here, so the caller names the window whose button goes.
    virtual void HideTaskbarButton(QWindow* window) = 0;
    // Tells the window manager which frame parts and actions the window allows (FrameFlag);
    // everything else is refused.
    virtual void SetFrame(QWindow* window, unsigned frame) = 0;
};

// The services of the running desktop (Qt Gui; on X11 the window manager's hints).
class DesktopWindowServices : public WindowServices {
public:
    void MakeTopmost(QWindow* window, unsigned flags) override;
    ScreenSize PrimaryScreenSize() override;
    void HideTaskbarButton(QWindow* window) override;
    void SetFrame(QWindow* window, unsigned frame) override;
};

// A stand-in that records every call and reports a screen size of its own.
class RecordingWindowServices : public WindowServices {
public:
    enum class CallKind { MakeTopmost, PrimaryScreenSize, HideTaskbarButton, SetFrame };
    struct Call {
        CallKind Kind;
        QWindow* Window;
        unsigned Flags; // WindowPosFlag for MakeTopmost, FrameFlag for SetFrame
    };

    void MakeTopmost(QWindow* window, unsigned flags) override;
    ScreenSize PrimaryScreenSize() override;
    void HideTaskbarButton(QWindow* window) override;
    void SetFrame(QWindow* window, unsigned frame) override;

    void SetScreenSize(int width, int height) { itsScreen = {width, height}; }
    const std::vector<Call>& Calls() const { return itsCalls; }
    // The calls of one kind, in order.
    std::vector<Call> CallsOf(CallKind kind) const;
    void ClearCalls() { itsCalls.clear(); }

private:
    std::vector<Call> itsCalls;
    ScreenSize itsScreen{1024, 768};
};

// The services in use: the desktop's unless a test installed others.
WindowServices& WindowServicesInstance();
// Installs services (not owned; nullptr restores the desktop's) and returns the previous ones.
WindowServices* SetWindowServices(WindowServices* services);

// Installs services for the lifetime of a scope, restoring the previous ones afterwards.
class ScopedWindowServices {
public:
    explicit ScopedWindowServices(WindowServices* services)
        : itsPrevious(SetWindowServices(services)) {}
    ~ScopedWindowServices() { SetWindowServices(itsPrevious); }
    ScopedWindowServices(const ScopedWindowServices&) = delete;
    ScopedWindowServices& operator=(const ScopedWindowServices&) = delete;

private:
    WindowServices* itsPrevious;
};

} // namespace platform
