// A private X server (Xvfb) for tests that need a real display. It picks a free display number
// itself (-displayfd), so parallel runs never collide. With RequireAuth, a client must present the
// server's cookie: one started with XAUTHORITY=/dev/null is refused.
//
//     VirtualDisplay display;
//     if (display.Name().empty())
//         GTEST_SKIP() << "Xvfb is not installed";
//     env.insert("DISPLAY", QString::fromStdString(display.Name()));
//     display.Stop();                      // the display goes away under its clients
#pragma once

#include <QProcess>
#include <QTemporaryDir>

#include <string>

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
