// The two window programs as their own processes on a private X server, beside the scripted
// driver: they leave the store and exit with code 0 when the session ends them by a signal or
// their display goes away, and where no display answers they say so in one line and touch nothing.
#include "tests/control/support/DriverProcess.h"
#include "tests/control/support/VirtualDisplay.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <optional>
#include <string>

namespace {

int ObjectCount() {
    int count = 0;
    if (DIR* dir = opendir("/dev/shm")) {
        while (const dirent* entry = readdir(dir))
            count += std::string(entry->d_name).rfind(TestNamespace(), 0) == 0 ? 1 : 0;
        closedir(dir);
    }
    return count;
}

// A window program copied into a directory of its own, so that the panel writes its files there
// and starts the stand-in driver beside it, which only leaves a mark.
class WindowProgram {
public:
    explicit WindowProgram(const char* path) {
        itsPath = itsDir.filePath(QFileInfo(path).fileName());
        QFile::copy(path, itsPath);
        QFile driver(itsDir.filePath("QUILBEX_Driver.exe"));
        if (driver.open(QIODevice::WriteOnly))
            driver.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/driver-started\"\n");
        driver.close();
        driver.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // The session's signals act as they would from a terminal, whatever this test inherited.
        itsProcess.setChildProcessModifier([] {
            for (const int sig : {SIGTERM, SIGHUP, SIGINT})
                signal(sig, SIG_DFL);
        });
    }
    ~WindowProgram() {
        itsProcess.kill();
        itsProcess.waitForFinished(5000);
    }
    WindowProgram(const WindowProgram&) = delete;
    WindowProgram& operator=(const WindowProgram&) = delete;

    // Runs the program with no platform chosen and DISPLAY set to `display` (unset when "").
    // With `wayland`, as in a Wayland session that offers XWayland.
    void Start(const std::string& display, bool wayland, const QString& xauthority = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY",
                                 "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP"})
            env.remove(name);
        if (!display.empty())
            env.insert("DISPLAY", QString::fromStdString(display));
        if (wayland) {
            env.insert("WAYLAND_DISPLAY", "wayland-0");
            env.insert("XDG_SESSION_TYPE", "wayland");
        }
        if (!xauthority.isEmpty())
            env.insert("XAUTHORITY", xauthority);
        itsProcess.setProcessEnvironment(env);
        itsProcess.start(itsPath, {});
    }
    void Signal(int sig) { kill(static_cast<pid_t>(itsProcess.processId()), sig); }
    // True when the program ended on its own (not by a signal).
    bool Ended() {
        return itsProcess.waitForFinished(10000) && itsProcess.exitStatus() == QProcess::NormalExit;
    }
    int ExitCode() const { return itsProcess.exitCode(); }
    QString Errors() {
        return itsErrors += QString::fromLocal8Bit(itsProcess.readAllStandardError());
    }
    bool DriverStarted() const { return QFile::exists(itsDir.filePath("driver-started")); }

private:
    QTemporaryDir itsDir;
    QString itsPath;
    QProcess itsProcess;
    QString itsErrors;
};

struct Ending {
    const char* name;
    const char* program;
    int signal; // 0: the display goes away
};

void PrintTo(const Ending& row, std::ostream* out) {
    *out << row.name;
}

class ProgramEnd : public testing::TestWithParam<Ending> {};

TEST_P(ProgramEnd, LeavesTheStoreAndExitsZero) {
    VirtualDisplay display;
    if (display.Name().empty())
        SKIP_FOR_WANT_OF("Xvfb");
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    WindowProgram program(GetParam().program);
    program.Start(display.Name(), true);
    ASSERT_TRUE(WaitFor([&] { return driver.Command("slaves") == "value 1"; }, 15000))
        << program.Errors().toStdString();

    if (GetParam().signal != 0) {
        program.Signal(GetParam().signal);
    } else {
        // A write that meets the closed connection raises SIGPIPE before Qt sees it broken.
        program.Signal(SIGPIPE);
        display.Stop();
    }
    ASSERT_TRUE(program.Ended()) << program.Errors().toStdString();
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_EQ(driver.Command("slaves"), "value 0");
    EXPECT_FALSE(program.Errors().contains("wayland", Qt::CaseInsensitive))
        << "in a Wayland session it runs on X11: " << program.Errors().toStdString();
    driver.Stop();
    EXPECT_EQ(ObjectCount(), 0) << "an object only the program held is left";
}

INSTANTIATE_TEST_SUITE_P(
    WindowPrograms, ProgramEnd,
    testing::Values(Ending{"PanelTerm", QUILBEX_CONTROL_PATH, SIGTERM},
                    Ending{"PanelInt", QUILBEX_CONTROL_PATH, SIGINT},
                    Ending{"PanelHup", QUILBEX_CONTROL_PATH, SIGHUP},
                    Ending{"PanelDisplayGone", QUILBEX_CONTROL_PATH, 0},
                    Ending{"RightClickTerm", QUILBEX_RIGHTCLICK_PATH, SIGTERM},
                    Ending{"RightClickInt", QUILBEX_RIGHTCLICK_PATH, SIGINT},
                    Ending{"RightClickHup", QUILBEX_RIGHTCLICK_PATH, SIGHUP},
                    Ending{"RightClickDisplayGone", QUILBEX_RIGHTCLICK_PATH, 0}),
    [](const testing::TestParamInfo<Ending>& row) { return std::string(row.param.name); });

enum class NoDisplay { Unset, NobodyServes, Refuses };

struct Start {
    const char* name;
    const char* program;
    NoDisplay display;
};

void PrintTo(const Start& row, std::ostream* out) {
    *out << row.name;
}

class ProgramWithoutDisplay : public testing::TestWithParam<Start> {};

TEST_P(ProgramWithoutDisplay, SaysSoInOneLineAndTouchesNothing) {
    std::optional<VirtualDisplay> refusing;
    std::string display;
    if (GetParam().display == NoDisplay::NobodyServes)
        display = ":65000";
    if (GetParam().display == NoDisplay::Refuses) {
        refusing.emplace(VirtualDisplay::Access::RequireAuth);
        if (refusing->Name().empty())
            SKIP_FOR_WANT_OF("Xvfb");
        display = refusing->Name();
    }
    WindowProgram program(GetParam().program);
    program.Start(display, false, "/dev/null");

    ASSERT_TRUE(program.Ended());
    EXPECT_EQ(program.ExitCode(), 0);
    const QStringList lines = program.Errors().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << program.Errors().toStdString();
    EXPECT_TRUE(lines[0].contains("cannot open display")) << lines[0].toStdString();
    EXPECT_EQ(ObjectCount(), 0);
    EXPECT_FALSE(program.DriverStarted());
}

INSTANTIATE_TEST_SUITE_P(
    WindowPrograms, ProgramWithoutDisplay,
    testing::Values(Start{"PanelUnset", QUILBEX_CONTROL_PATH, NoDisplay::Unset},
                    Start{"PanelNobodyServes", QUILBEX_CONTROL_PATH, NoDisplay::NobodyServes},
                    Start{"PanelRefuses", QUILBEX_CONTROL_PATH, NoDisplay::Refuses},
                    Start{"RightClickUnset", QUILBEX_RIGHTCLICK_PATH, NoDisplay::Unset},
                    Start{"RightClickNobodyServes", QUILBEX_RIGHTCLICK_PATH,
                          NoDisplay::NobodyServes},
                    Start{"RightClickRefuses", QUILBEX_RIGHTCLICK_PATH, NoDisplay::Refuses}),
    [](const testing::TestParamInfo<Start>& row) { return std::string(row.param.name); });

} // namespace
