// Window services of the desktop that forms and components call: keeping a window above all
// others, the primary screen's size, hiding a window's taskbar button and telling the window
// manager what a window's frame offers. Code reaches them
// through platform::WindowServicesInstance(); tests install a RecordingWindowServices to see
// which calls were made without touching real windows.
#pragma once

#include <vector>

class QWindow;

namespace platform {

// Flags of a topmost request. NoSize and NoMove keep the window's size and place (the only
// way this system asks); NoActivate says that the caller does not want the window activated.
// NoRestack keeps the window above the windows that are not topmost but leaves its order among
// topmost windows as it is, so that it never takes turns on top with another topmost window
// that restacks itself. The first three carry the values of the matching SetWindowPos flags;
// NoRestack has none there and lies above their range.
enum WindowPosFlag : unsigned {
    WindowPosNoSize = 0x0001,
    WindowPosNoMove = 0x0002,
    WindowPosNoActivate = 0x0010,
    WindowPosNoRestack = 0x10000,
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

// The widths of the frame that the window manager draws around a window's client area.
struct FrameExtents {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;
};

class WindowServices {
public:
    virtual ~WindowServices() = default;
    // Puts the window above every window that is not itself topmost, and above topmost
    // windows stacked over it (ones that became topmost later). It never takes the keyboard
    // focus from another program, whatever the flags say. Without NoActivate the window is
    // activated while another window of its own program holds the focus, so that the keys go
    // to the window kept on top rather than to one behind it. A modal window that was
    // minimised is restored, so that its program never waits on a window out of view.
    virtual void MakeTopmost(QWindow* window, unsigned flags) = 0;
    // Brings the window back into view when it is minimised, without activating it.
    virtual void Restore(QWindow* window) = 0;
    // The primary screen's size in pixels.
    virtual ScreenSize PrimaryScreenSize() = 0;
    // The frame around the window as the window manager reports it; zero where it reports none
    // (no frame, not managed yet, no window manager).
    virtual FrameExtents FrameOf(QWindow* window) = 0;
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
    void Restore(QWindow* window) override;
    ScreenSize PrimaryScreenSize() override;
    FrameExtents FrameOf(QWindow* window) override;
    void HideTaskbarButton(QWindow* window) override;
    void SetFrame(QWindow* window, unsigned frame) override;
};

// A stand-in that records every call and reports a screen size and a frame of its own.
class RecordingWindowServices : public WindowServices {
public:
    enum class CallKind {
        MakeTopmost,
        Restore,
        PrimaryScreenSize,
        FrameOf,
        HideTaskbarButton,
        SetFrame
    };
    struct Call {
        CallKind Kind;
        QWindow* Window;
        unsigned Flags; // WindowPosFlag for MakeTopmost, FrameFlag for SetFrame
    };

    void MakeTopmost(QWindow* window, unsigned flags) override;
    void Restore(QWindow* window) override;
    ScreenSize PrimaryScreenSize() override;
    FrameExtents FrameOf(QWindow* window) override;
    void HideTaskbarButton(QWindow* window) override;
    void SetFrame(QWindow* window, unsigned frame) override;

    void SetScreenSize(int width, int height) { itsScreen = {width, height}; }
    // The frame reported for every window.
    void SetFrameExtents(const FrameExtents& frame) { itsFrame = frame; }
    const std::vector<Call>& Calls() const { return itsCalls; }
    // The calls of one kind, in order.
    std::vector<Call> CallsOf(CallKind kind) const;
    void ClearCalls() { itsCalls.clear(); }

private:
    std::vector<Call> itsCalls;
    ScreenSize itsScreen{1024, 768};
    FrameExtents itsFrame;
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
