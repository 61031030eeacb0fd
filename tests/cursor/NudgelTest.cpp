// Runs the cursor tool as its own process: whatever its arguments and whether or not a display
// is there, it must end with code 0 and print nothing.
#include "tests/control/support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string output;
};

// Starts the tool with `args`, DISPLAY set to `display` (removed when empty) and the extra
// environment `extra`, captures stdout and stderr together and waits for the exit code.
RunResult RunNudgel(const std::vector<std::string>& args, const std::string& display,
                    const std::vector<std::string>& extra = {}) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("DISPLAY=", 0) != 0) {
            env.emplace_back(*e);
        }
    }
    if (!display.empty()) {
        env.push_back("DISPLAY=" + display);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    std::vector<std::string> argv{NUDGEL_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp;
    std::vector<char*> envp;
    for (auto& a : argv) {
        argp.push_back(a.data());
    }
    argp.push_back(nullptr);
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    int pipeFds[2];
    EXPECT_EQ(pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    pid_t pid = 0;
    RunResult result;
    const int rc = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        close(pipeFds[0]);
        ADD_FAILURE() << "could not start " << argp[0];
        return result;
    }
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        result.output.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

TEST(Nudgel, WithoutDisplayExitsZeroSilently) {
    for (const auto& args :
         {std::vector<std::string>{}, std::vector<std::string>{"-x", "--help", "some file", ""}}) {
        const RunResult r = RunNudgel(args, "");
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.output, "");
    }
}

// Nobody serves the first display; the second refuses a client without its cookie, and Xlib
// would print the server's reason.
TEST(Nudgel, UnreachableOrRefusingDisplayExitsZeroSilently) {
    VirtualDisplay refusing(VirtualDisplay::Access::RequireAuth);
    for (const std::string& display : {std::string(":9999"), refusing.Name()}) {
        if (display.empty()) {
            SKIP_FOR_WANT_OF("Xvfb");
        }
        const RunResult r = RunNudgel({}, display, {"XAUTHORITY=/dev/null"});
        EXPECT_EQ(r.exitCode, 0) << display;
        EXPECT_EQ(r.output, "") << display;
    }
}

// Nothing hid the cursor from the tool's own connection, so the server rejects the show
// request; the tool must still end normally, every time it is run.
TEST(Nudgel, WithDisplayExitsZeroRepeatedlyAndWithArguments) {
    VirtualDisplay display;
    if (display.Name().empty()) {
        SKIP_FOR_WANT_OF("Xvfb");
    }
    for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{},
                             std::vector<std::string>{"a", "b"}}) {
        const RunResult r = RunNudgel(args, display.Name());
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.output, "");
    }
}

} // namespace
