// The right-click program as its own process beside the scripted driver: it joins the store
// after about a second, shows and clamps its window when right-click emulation is switched on
// (seen through the bounds it publishes), and ends with code 0 when the session ends.
#include "tests/control/support/DriverProcess.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <dirent.h>
#include <string>

namespace {

// Shared objects of the running test's namespace.
int SharedObjectCount() {
    int count = 0;
    if (DIR* dir = opendir("/dev/shm")) {
        while (const dirent* entry = readdir(dir)) {
            count += std::string(entry->d_name).rfind(TestNamespace(), 0) == 0 ? 1 : 0;
        }
        closedir(dir);
    }
    return count;
}

class RightClickProgram {
public:
    RightClickProgram() {
        itsProcess.setProcessChannelMode(QProcess::ForwardedChannels);
        itsProcess.start(QUILBEX_RIGHTCLICK_PATH, {});
    }
    ~RightClickProgram() {
        if (itsProcess.state() != QProcess::NotRunning) {
            itsProcess.kill();
            itsProcess.waitForFinished(5000);
        }
    }
    RightClickProgram(const RightClickProgram&) = delete;
    RightClickProgram& operator=(const RightClickProgram&) = delete;

    bool Started() { return itsProcess.waitForStarted(5000); }
    // Asks the program to end as at the end of a session; true when it ended normally.
    bool EndSession() {
        itsProcess.terminate();
        return itsProcess.waitForFinished(10000) && itsProcess.exitStatus() == QProcess::NormalExit;
    }
    int ExitCode() const { return itsProcess.exitCode(); }

private:
    QProcess itsProcess;
};

TEST(RightClickProgram, ShowsClampsAndPublishesItsWindowThenExitsZero) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    RightClickProgram program;
    RightClickProgram secondCopy;
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(secondCopy.Started());
    ASSERT_TRUE(WaitFor([&] { return driver.Command("slaves") == "value 2"; }, 10000))
        << "each copy joins the store as a slave on its first tick";
    ASSERT_TRUE(secondCopy.EndSession());
    EXPECT_EQ(secondCopy.ExitCode(), 0);

    // Switched on, then moved off the left edge by another program: the shown window comes
    // back to the edge and publishes where it is. The window's own publication can overwrite
    // an announcement that it has not yet polled, so the move is announced again until seen.
    ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
    EXPECT_TRUE(WaitFor(
        [&] {
            const int left = driver.GetInt("Output", "RC_Panel_X");
            if (left != 0 && left != -40) {
                driver.Set("Output", "RC_Panel_X", "-40");
            }
            return left == 0;
        },
        10000));
    EXPECT_EQ(driver.GetInt("Output", "RC_Panel_W"), 180);

    ASSERT_TRUE(program.EndSession());
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_EQ(driver.Command("slaves"), "value 0") << "the store was left cleanly";
    EXPECT_TRUE(driver.GetBool("Output", "RC_Enabled")) << "ending is not closing the window";
}

TEST(RightClickProgram, RunsWithoutDriverAndExitsZero) {
    RightClickProgram program;
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(WaitFor([] { return SharedObjectCount() > 0; }, 10000)) << "the store is active";
    ASSERT_TRUE(program.EndSession());
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_EQ(SharedObjectCount(), 0);
}

} // namespace
