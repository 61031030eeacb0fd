// The single-instance guard, in this process and as a second copy of the program.
#include "control/SingleInstance.h"
#include "tests/control/support/DriverProcess.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int ObjectCount() {
    int count = 0;
    DIR* dir = opendir("/dev/shm");
    if (dir == nullptr)
        return 0;
    while (const dirent* entry = readdir(dir))
        count += std::string(entry->d_name).rfind(TestNamespace(), 0) == 0 ? 1 : 0;
    closedir(dir);
    return count;
}

// Ends (SIGTERM) the live drivers (not the scripted ones) that run the built driver program in
// this test's namespace; returns how many there were.
int StopDriversOfThisTest() {
    const std::string marker = "QUILBEX_IPC_NAMESPACE=" + TestNamespace();
    int stopped = 0;
    DIR* proc = opendir("/proc");
    while (proc != nullptr) {
        const dirent* entry = readdir(proc);
        if (entry == nullptr)
            break;
        const std::string pid = entry->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        char exe[4096] = {};
        const ssize_t n = readlink(("/proc/" + pid + "/exe").c_str(), exe, sizeof(exe) - 1);
        if (n <= 0 || std::string(exe, static_cast<size_t>(n)) != DriverProcess::ProgramPath())
            continue;
        QFile cmdline(QString::fromStdString("/proc/" + pid + "/cmdline"));
        QFile environ(QString::fromStdString("/proc/" + pid + "/environ"));
        if (!cmdline.open(QIODevice::ReadOnly) || !environ.open(QIODevice::ReadOnly) ||
            cmdline.readAll().contains("--scripted"))
            continue;
        for (const QByteArray& variable : environ.readAll().split('\0')) {
            if (variable.toStdString() == marker) {
                kill(std::stoi(pid), SIGTERM);
                ++stopped;
            }
        }
    }
    if (proc != nullptr)
        closedir(proc);
    return stopped;
}

} // namespace

TEST(SingleInstance, SecondGuardSeesTheFirst) {
    TSingleInstance first;
    EXPECT_EQ(first.LastError, 0u);
    {
        TSingleInstance second;
        EXPECT_EQ(second.LastError, ERROR_ALREADY_EXISTS);
    }
    TSingleInstance third;
    EXPECT_EQ(third.LastError, ERROR_ALREADY_EXISTS);
}

TEST(SingleInstance, CopyThatCrashedDoesNotBlockTheNext) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        TSingleInstance crashing;
        const char byte = crashing.LastError == 0 ? 1 : 0;
        [[maybe_unused]] auto n = write(ready[1], &byte, 1);
        pause();
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, 1);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);

    TSingleInstance next;
    EXPECT_EQ(next.LastError, 0u);
}

TEST(SingleInstance, SecondProgramExitsAtOnceWithoutStartingAnything) {
    TSingleInstance running;
    ASSERT_EQ(running.LastError, 0u);
    const int objectsBefore = ObjectCount();

    QProcess second;
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(QString::fromStdString(QUILBEX_CONTROL_PATH), {});
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    // No store objects and no driver: nothing new in the namespace, also a moment later.
    PumpEvents(300);
    EXPECT_EQ(ObjectCount(), objectsBefore);
}

TEST(SingleInstance, FirstProgramStartsTheDriverBesideIt) {
    QProcess panel;
    panel.setProcessChannelMode(QProcess::ForwardedChannels);
    panel.start(QString::fromStdString(QUILBEX_CONTROL_PATH), {});
    ASSERT_TRUE(panel.waitForStarted(5000));
    DriverProcess observer(DriverProcess::Role::Slave);
    EXPECT_TRUE(observer.Start());
    // The panel starts the live driver from its own directory; it becomes the group's master.
    EXPECT_TRUE(WaitFor([&] { return observer.Command("masters") == "value 1"; }, 10000));

    // The panel leaves only through its exit sequence, so end it from outside, then the driver.
    panel.terminate();
    EXPECT_TRUE(panel.waitForFinished(5000));
    EXPECT_EQ(StopDriversOfThisTest(), 1);
    EXPECT_TRUE(WaitFor([&] { return observer.Command("masters") == "value 0"; }, 5000));
    observer.Stop();
}
