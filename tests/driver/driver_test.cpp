// The stand-in driver as a process: its commands, its saved settings, Dirty, and the rule of
// one driver per group.
#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

namespace {

std::string ReadFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return "";
    return file.readAll().toStdString();
}

// Replaces `from` by `to`, of the same length, in the file itself, as an editor writing in
// place would.
bool RewriteInPlace(const std::string& path, const std::string& from, const std::string& to) {
    std::string text = ReadFile(path);
    const size_t at = text.find(from);
    if (at == std::string::npos || from.size() != to.size())
        return false;
    text.replace(at, from.size(), to);
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadWrite) &&
           file.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size());
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
    // The driver reads the file again only when it changed: once the file's times have settled
    // it tells a change from them, and it sees another writer's change of the same size, also
    // one made again at once.
    PumpEvents(2500);
    ASSERT_TRUE(
        RewriteInPlace(driver.IniPath(), "FixedThresholdFlo1=123", "FixedThresholdFlo1=124"));
    ASSERT_TRUE(WaitFor([&] { return panel.GetBool("Status", "Dirty"); }));
    ASSERT_TRUE(
        RewriteInPlace(driver.IniPath(), "FixedThresholdFlo1=124", "FixedThresholdFlo1=123"));
    ASSERT_TRUE(WaitFor([&] { return !panel.GetBool("Status", "Dirty"); }));

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

// At a resource limit the driver never dies of a signal or an abort: it reports what failed
// and, when it cannot serve the group, deactivates and ends, leaving no shared object behind and
// the group mutex free. A settings file it cannot write or hold is left as it is.
struct ResourceLimit {
    const char* Name;
    std::vector<std::pair<int, rlim_t>> Limits; // set in the driver's process
    qint64 SettingsBytes; // an existing settings file of this size: keys, then a sparse tail
    bool Serves;          // starts as master; otherwise ends with "busy"
    const char* Reported; // what standard error names
};

void PrintTo(const ResourceLimit& row, std::ostream* out) {
    *out << row.Name;
}

// A settings file of `bytes` bytes whose keys fill up to its first 64 KiB.
bool WriteSettingsFile(const QString& path, qint64 bytes) {
    QFile ini(path);
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[Pad]\n") < 0)
        return false;
    for (int key = 0; ini.size() < std::min<qint64>(bytes, 65536); ++key) {
        if (ini.write(QByteArray("Key") + QByteArray::number(key) + "=padding\n") < 0)
            return false;
    }
    return ini.resize(bytes);
}

class DriverAtAResourceLimit : public testing::TestWithParam<ResourceLimit> {};

// Below the descriptors its variables need: no longer spinning while it holds the group mutex.
// Past a file-size limit: no SIGXFSZ, neither in a settings write nor in sizing the slot table.
// Without room for a thread stack: no abort from the poll thread's creation.
// A settings file too large to hold: read as one that cannot be read, never written over.
TEST_P(DriverAtAResourceLimit, ReportsWhatFailedAndLeavesNothingBehind) {
    const ResourceLimit& row = GetParam();
    QTemporaryDir dir;
    const QString iniPath = dir.filePath("QUILBEX.INI");
    struct stat before {};
    if (row.SettingsBytes > 0) {
        ASSERT_TRUE(WriteSettingsFile(iniPath, row.SettingsBytes));
        ASSERT_EQ(stat(iniPath.toLocal8Bit().constData(), &before), 0);
    }
    QProcess driver;
    const auto limits = row.Limits;
    driver.setChildProcessModifier([limits] {
        for (const auto& [resource, value] : limits) {
            const rlimit limit{value, value};
            setrlimit(resource, &limit);
        }
    });
    driver.start(QString::fromStdString(DriverProcess::ProgramPath()),
                 {"--scripted", "--ini", iniPath});
    ASSERT_TRUE(driver.waitForStarted());
    driver.write("quit\n");
    driver.closeWriteChannel();
    const bool ended = driver.waitForFinished(10000);
    if (!ended)
        driver.kill();
    ASSERT_TRUE(ended);
    EXPECT_EQ(driver.exitStatus(), QProcess::NormalExit) << "killed by a signal or an abort";
    EXPECT_EQ(driver.exitCode(), row.Serves ? 0 : 1);
    const QByteArray out = driver.readAllStandardOutput();
    EXPECT_TRUE(out.startsWith(row.Serves ? "ready master\n" : "busy\n")) << out.toStdString();
    const QByteArray err = driver.readAllStandardError();
    EXPECT_TRUE(err.contains(row.Reported)) << err.toStdString();
    EXPECT_FALSE(err.contains("another driver")) << err.toStdString();
    const QString prefix = QString::fromStdString(TestNamespace()) + "*";
    EXPECT_EQ(QDir("/dev/shm").entryList({prefix}, QDir::Files).size(), 0) << "objects left";
    if (row.SettingsBytes > 0) {
        struct stat after {};
        ASSERT_EQ(stat(iniPath.toLocal8Bit().constData(), &after), 0);
        EXPECT_TRUE(after.st_ino == before.st_ino && after.st_size == before.st_size &&
                    after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
                    after.st_mtim.tv_nsec == before.st_mtim.tv_nsec)
            << "the settings file was written";
    }
    DriverProcess panel(DriverProcess::Role::Slave);
    QElapsedTimer joining;
    joining.start();
    ASSERT_TRUE(panel.Start());
    EXPECT_LT(joining.elapsed(), 1000) << "the group mutex is free, not waited out";
    EXPECT_EQ(panel.Command("masters"), "value 0");
    EXPECT_EQ(panel.Command("slaves"), "value 1");
}

constexpr rlim_t kMiB = 1024 * 1024;

INSTANTIATE_TEST_SUITE_P(
    Limits, DriverAtAResourceLimit,
    testing::Values(ResourceLimit{"OpenFiles64",
                                  {{RLIMIT_NOFILE, 64}},
                                  0,
                                  false,
                                  "cannot open the shared objects of variable"},
                    ResourceLimit{"FileSizeBelowTheSettingsFile",
                                  {{RLIMIT_FSIZE, 12288}},
                                  20000,
                                  true,
                                  "cannot write the version"},
                    ResourceLimit{"FileSizeBelowTheSlotTable",
                                  {{RLIMIT_FSIZE, 8192}},
                                  0,
                                  false,
                                  "cannot open the store's shared object Slv"},
                    ResourceLimit{"NoRoomForAThreadStack",
                                  {{RLIMIT_STACK, 1024 * kMiB}, {RLIMIT_AS, 256 * kMiB}},
                                  0,
                                  false,
                                  "cannot start a thread"},
                    ResourceLimit{"SettingsFileTooLargeToHold",
                                  {{RLIMIT_AS, 512 * kMiB}},
                                  700 * 1024 * 1024,
                                  true,
                                  "cannot load settings, the file is left as it is"}),
    [](const testing::TestParamInfo<ResourceLimit>& row) { return row.param.Name; });
