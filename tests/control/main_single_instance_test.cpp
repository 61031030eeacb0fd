// The single-instance guard, in this process and as a second copy of the program.
#include "control/SingleInstance.h"
#include "platform/Ipc.h"
#include "tests/control/support/DriverProcess.h"

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
