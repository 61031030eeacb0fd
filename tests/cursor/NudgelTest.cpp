// Runs the cursor tool as its own process: whatever its arguments and whether or not a display
// is there, it must end with code 0 and print nothing.
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

// Starts the tool with `args` and the given extra environment (or DISPLAY removed when
// `display` is empty), captures stdout and stderr together and waits for the exit code.
RunResult RunNudgel(const std::vector<std::string>& args, const std::string& display) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("DISPLAY=", 0) != 0) {
            env.emplace_back(*e);
        }
    }
    if (!display.empty()) {
        env.push_back("DISPLAY=" + display);
    }
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

// A private virtual X server for the tests that need a display; it chooses its own free
// display number and reports it on a pipe.
class VirtualDisplay {
public:
    VirtualDisplay() {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        const std::string fdText = std::to_string(fds[1]);
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDERR_FILENO);
            execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-nolisten", "tcp", "-screen", "0",
                   "1024x768x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        pollfd p{fds[0], POLLIN, 0};
        if (pid_ > 0 && poll(&p, 1, 10000) == 1) {
            char buffer[32] = {};
            const ssize_t n = read(fds[0], buffer, sizeof buffer - 1);
            if (n > 0) {
                name_ = ":" + std::to_string(std::atoi(buffer));
            }
        }
        close(fds[0]);
    }
    ~VirtualDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    const std::string& Name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

TEST(Nudgel, WithoutDisplayExitsZeroSilently) {
    for (const auto& args :
         {std::vector<std::string>{}, std::vector<std::string>{"-x", "--help", "some file", ""}}) {
        const RunResult r = RunNudgel(args, "");
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.output, "");
    }
}

TEST(Nudgel, UnreachableDisplayExitsZero) {
    const RunResult r = RunNudgel({}, ":9999");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output, "");
}

// Nothing hid the cursor from the tool's own connection, so the server rejects the show
// request; the tool must still end normally, every time it is run.
TEST(Nudgel, WithDisplayExitsZeroRepeatedlyAndWithArguments) {
    VirtualDisplay display;
    if (display.Name().empty()) {
        GTEST_SKIP() << "no virtual X server available";
    }
    for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{},
                             std::vector<std::string>{"a", "b"}}) {
        const RunResult r = RunNudgel(args, display.Name());
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.output, "");
    }
}

} // namespace
