// A private X server (Xvfb) for tests that need a real display. It picks a free display number
// itself (-displayfd), so parallel runs never collide. With RequireAuth, a client must present the
// server's cookie: one started with XAUTHORITY=/dev/null is refused.
//
//     VirtualDisplay display;
//     if (display.Name().empty())
//         SKIP_FOR_WANT_OF("Xvfb");            // fails instead where CI is set
//     env.insert("DISPLAY", QString::fromStdString(display.Name()));
//     display.Stop();                      // the display goes away under its clients
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

inline std::string WantOf(const std::string& what) {
    return what + " is not available (scripts/install-deps installs it)";
}

// Skips a test that cannot get what it needs from the machine (a program, a display). Where the
// environment variable CI is set the test fails instead: a run that tested nothing is not green.
#define SKIP_FOR_WANT_OF(what)                                                                     \
    return GTEST_MESSAGE_(WantOf(what).c_str(), std::getenv("CI") != nullptr                       \
                                                    ? ::testing::TestPartResult::kFatalFailure     \
                                                    : ::testing::TestPartResult::kSkip)

class VirtualDisplay {
public:
    enum class Access { Open, RequireAuth };

    explicit VirtualDisplay(Access access = Access::Open);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N" while the server runs; "" when it could not be started.
    const std::string& Name() const { return itsName; }
    // Ends the server at once; its clients lose their connection.
    void Stop();

private:
    QTemporaryDir itsDir;
    QProcess itsServer;
    std::string itsName;
};
