// The stand-in driver as a process: its commands, its saved settings, Dirty, and the rule of
// one driver per group.
#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <signal.h>
#include <sys/resource.h>

namespace {

std::string ReadFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return "";
    return file.readAll().toStdString();
}

} // namespace

TEST(Driver, ActsOnceOnEveryChangeOfACounter) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    DriverProcess panel(DriverProcess::Role::Slave);
    ASSERT_TRUE(panel.Start());
    EXPECT_EQ(driver.Acted("Reset"), 0);

    ASSERT_TRUE(panel.Set("Status", "Reset", "1"));
    ASSERT_TRUE(WaitFor([&] { return driver.Acted("Reset") == 1; }));
    // A jump of three between two looks is one change: the driver acts once.
    ASSERT_TRUE(panel.Set("Status", "Reset", "4"));
    ASSERT_TRUE(WaitFor([&] { return driver.Acted("Reset") == 2; }));
    // Wrapping from the largest counter to the smallest is a change like any other.
    ASSERT_TRUE(panel.Set("Status", "Reset", "2147483647"));
    ASSERT_TRUE(WaitFor([&] { return driver.Acted("Reset") == 3; }));
    ASSERT_TRUE(panel.Set("Status", "Reset", "-2147483648"));
    ASSERT_TRUE(WaitFor([&] { return driver.Acted("Reset") == 4; }));
    PumpEvents(200);
    EXPECT_EQ(driver.Acted("Reset"), 4);
    EXPECT_EQ(driver.Acted("Save"), 0);
    EXPECT_EQ(driver.Acted("Load"), 0);
}

TEST(Driver, CountersFromBeforeItsStartAreNotCommands) {
    DriverProcess panel(DriverProcess::Role::Slave);
    ASSERT_TRUE(panel.Start());
    ASSERT_TRUE(panel.Set("Status", "Save", "7"));
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    PumpEvents(200);
    EXPECT_EQ(driver.Acted("Save"), 0);
}

TEST(Driver, SavesAndReloadsItsSettingsAndKeepsDirty) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(driver.TrackDirty(true));
    DriverProcess panel(DriverProcess::Role::Slave);
    ASSERT_TRUE(panel.Start());
    // A first start saves the settings it starts with, so nothing is dirty.
    EXPECT_NE(ReadFile(driver.IniPath()).find("[Sense]"), std::string::npos);
    ASSERT_TRUE(WaitFor([&] { return !panel.GetBool("Status", "Dirty"); }));

    ASSERT_TRUE(panel.Set("Sense", "FixedThreshold", "123"));
    ASSERT_TRUE(WaitFor([&] { return panel.GetBool("Status", "Dirty"); }));
    // Dirty cleared by someone else comes back while the settings still differ.
    ASSERT_TRUE(panel.SetSilent("Status", "Dirty", "0"));
    ASSERT_TRUE(WaitFor([&] { return panel.GetBool("Status", "Dirty"); }));

    ASSERT_TRUE(panel.Set("Status", "Save", "1"));
    ASSERT_TRUE(WaitFor([&] { return !panel.GetBool("Status", "Dirty"); }));
    EXPECT_NE(ReadFile(driver.IniPath()).find("FixedThresholdFlo1=123"), std::string::npos);

    ASSERT_TRUE(panel.Set("Sense", "FixedThreshold", "50"));
    ASSERT_TRUE(WaitFor([&] { return panel.GetBool("Status", "Dirty"); }));
    ASSERT_TRUE(panel.Set("Status", "Load", "1"));
    ASSERT_TRUE(WaitFor([&] { return panel.GetFloat("Sense", "FixedThreshold") == 123.0f; }));
    ASSERT_TRUE(WaitFor([&] { return !panel.GetBool("Status", "Dirty"); }));
}

TEST(Driver, TerminateEndsItCleanly) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    DriverProcess panel(DriverProcess::Role::Slave);
    ASSERT_TRUE(panel.Start());
    ASSERT_EQ(panel.Command("masters"), "value 1");
    ASSERT_TRUE(panel.Set("Status", "Terminate", "1"));
    ASSERT_TRUE(driver.WaitForExit());
    EXPECT_EQ(driver.ExitCode(), 0);
    EXPECT_EQ(panel.Command("masters"), "value 0");
}

TEST(Driver, SecondDriverFindsTheLiveMasterAndExits) {
    DriverProcess first;
    ASSERT_TRUE(first.Start());
    DriverProcess second;
    EXPECT_FALSE(second.Start());
    EXPECT_EQ(second.Greeting(), "busy");
    EXPECT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_EQ(first.Command("masters"), "value 1");
    EXPECT_EQ(first.Command("slaves"), "value 0");
}

TEST(Driver, NewDriverTakesOverFromOneThatDied) {
    DriverProcess first;
    ASSERT_TRUE(first.Start());
    DriverProcess panel(DriverProcess::Role::Slave);
    ASSERT_TRUE(panel.Start());
    first.Kill();
    DriverProcess second;
    EXPECT_TRUE(second.Start());
    EXPECT_EQ(panel.Command("masters"), "value 1");
}

TEST(Driver, ScriptedCommandsReportTheirErrors) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    EXPECT_EQ(driver.Command("ping"), "pong");
    EXPECT_EQ(driver.Command("get Status Nothing"), "error unknown variable Status Nothing");
    EXPECT_EQ(driver.Command("set Status Save many"), "error bad value many");
    EXPECT_EQ(driver.Command("set Status Save 2147483648"), "error bad value 2147483648");
    EXPECT_EQ(driver.Command("get Status Save 1"), "error bad index 1");
    EXPECT_EQ(driver.Command("set Status Dirty yes"), "error bad value yes");
    EXPECT_EQ(driver.Command("fly"), "error unknown command fly");
    // Silent writes reach the block but announce nothing.
    EXPECT_TRUE(driver.SetSilent("Test", "X", "0.5"));
    EXPECT_EQ(driver.GetFloat("Test", "X"), 0.5f);
    EXPECT_EQ(driver.Command("changes Test X"), "value 0");
    EXPECT_EQ(driver.Command("quit"), "bye");
    EXPECT_TRUE(driver.WaitForExit());
}

TEST(Driver, JoiningSlaveLeavesTheMastersValuesAlone) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(driver.Set("Edge", "TopGain", "1.5"));
    DriverProcess slave(DriverProcess::Role::Slave);
    ASSERT_TRUE(slave.Start());
    // The slave's first poll, 100 ms after it joined, flushes what it held from before.
    PumpEvents(300);
    EXPECT_EQ(driver.GetFloat("Edge", "TopGain"), 1.5f);
    EXPECT_EQ(slave.GetFloat("Edge", "TopGain"), 1.5f);
}

// Below the descriptors its variables need, the driver reports the variable it could not open,
// lets the group go and ends, instead of spinning while it holds the group mutex.
TEST(Driver, AtTheOpenFileLimitItReportsAndEndsAndTheGroupGoesOn) {
    QTemporaryDir dir;
    QProcess driver;
    driver.setChildProcessModifier([] {
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_NOFILE, &limit);
    });
    driver.start(QString::fromStdString(DriverProcess::ProgramPath()),
                 {"--scripted", "--ini", dir.filePath("QUILBEX.INI")});
    ASSERT_TRUE(driver.waitForStarted());
    const bool ended = driver.waitForFinished(5000);
    if (!ended)
        driver.kill();
    ASSERT_TRUE(ended);
    EXPECT_TRUE(driver.readAllStandardError().contains("cannot open the shared objects"));
    DriverProcess panel(DriverProcess::Role::Slave);
    QElapsedTimer joining;
    joining.start();
    ASSERT_TRUE(panel.Start());
    EXPECT_LT(joining.elapsed(), 1000) << "the group mutex is free, not waited out";
    EXPECT_EQ(panel.Command("masters"), "value 0");
    EXPECT_EQ(panel.Command("slaves"), "value 1");
}
