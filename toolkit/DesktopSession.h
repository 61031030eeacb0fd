// A window program's place in the user's desktop session: whether it can start, and how it ends.
//
//   int main(int argc, char** argv) {
//       if (!tk::TDesktopSession::CanStart(argc, argv))   // said why on standard error
//           return 0;
//       tk::Application->Initialize(argc, argv);
//       const tk::TDesktopSession session([] { /* leave the store */ });
//       ... CreateForm, Run ...
//   }
//
// The programs place their windows, keep them above others and hide taskbar entries, which only
// X11 allows. So unless QT_QPA_PLATFORM (or Qt's -platform option) chooses a platform, they run
// on X11, under Wayland through XWayland, and only when the X display answers.
//
// While a session object exists, the end of the user's session (SIGTERM, SIGHUP) or an interrupt
// (SIGINT) terminates the application the ordinary way, so its forms are destroyed and the store
// is left; a signal that was ignored when the session began (nohup, a background job) stays
// ignored. When the X display goes away, Qt ends the process from inside its event loop with
// exit(1) (a write to the closed connection fails rather than raising SIGPIPE); the session then
// runs its release handler on the way out (the forms cannot be destroyed without a display) and
// ends the process with code 0.
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tk {

class TDesktopSession {
public:
    // Before the QApplication exists. Chooses X11 where no platform is chosen (adding Qt's
    // -platform option to argc and argv) and connects to the display, holding the connection
    // until the session object is made; false, after one line on standard error, when the
    // display does not answer.
    static bool CanStart(int& argc, char**& argv);

    // After Application->Initialize. `releaseOnDisplayLoss` lets go of whatever holds shared
    // objects; it runs only when the display goes away.
    explicit TDesktopSession(std::function<void()> releaseOnDisplayLoss);
    ~TDesktopSession();
    TDesktopSession(const TDesktopSession&) = delete;
    TDesktopSession& operator=(const TDesktopSession&) = delete;

private:
    // Runs at exit (registered once per process).
    static void LeaveOnDisplayLoss();

    std::function<void()> itsRelease;
    std::unique_ptr<QSocketNotifier> itsSignalNotifier;
};

} // namespace tk
