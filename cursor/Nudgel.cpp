// Nudgel: a console tool that makes the mouse cursor visible once and exits with code 0.
// It takes no input, prints nothing and opens no window; its arguments are ignored.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The server answers a show request that nothing hid with an error; Xlib's default handler
// would end the program with a non-zero code, so errors are swallowed.
int IgnoreXError(Display* /*display*/, XErrorEvent* /*error*/) {
    return 0;
}

// A connection lost half-way leaves nothing to do; Xlib's default handler would print and end
// the program with a non-zero code.
int EndOnLostConnection(Display* /*display*/) {
    _exit(0);
}

// A server that refuses the connection sends its reason, which Xlib writes to standard error
// itself; the tool prints nothing, so standard error points at /dev/null meanwhile.
Display* OpenDisplayQuietly() {
    const int saved = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDERR_FILENO);
        close(null);
    }
    Display* display = XOpenDisplay(nullptr);
    if (saved >= 0) {
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    return display;
}

// Asks the X server to show the cursor over the root window. Without a display, or without
// the XFixes extension (version 4 brought cursor hiding), there is nothing to do.
void ShowCursorOnce() {
    Display* display = OpenDisplayQuietly();
    if (display == nullptr) {
        return;
    }
    XSetErrorHandler(IgnoreXError);
    XSetIOErrorHandler(EndOnLostConnection);
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (XFixesQueryExtension(display, &eventBase, &errorBase) &&
        XFixesQueryVersion(display, &major, &minor) && major >= 4) {
        XFixesShowCursor(display, XDefaultRootWindow(display));
        XSync(display, False);
    }
    XCloseDisplay(display);
}

} // namespace

int main(int /*argc*/, char** /*argv*/) {
    // A write to a connection the server has just closed fails instead of ending the tool by
    // SIGPIPE, and Xlib then calls the lost-connection handler.
    std::signal(SIGPIPE, SIG_IGN);
    ShowCursorOnce();
    return 0;
}
