#include "platform/Shell.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

Shell* installedShell = nullptr;

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

bool ExistsOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr)
        return false;
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        const std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && IsExecutableFile(dir + "/" + name))
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

// Starts argv[0] (looked up on PATH when it has no directory) in a grandchild process that is
// reparented at once, so no zombie remains and nothing waits for it. Standard input is /dev/null.
void StartDetached(const std::vector<std::string>& argv) {
    if (argv.empty())
        return;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);

    const pid_t child = fork();
    if (child == 0) {
        if (fork() == 0) {
            setsid();
            if (devNull >= 0)
                dup2(devNull, STDIN_FILENO);
            execvp(args[0], args.data());
            _exit(127);
        }
        _exit(0);
    }
    if (child > 0)
        waitpid(child, nullptr, 0);
    if (devNull >= 0)
        close(devNull);
}

std::vector<std::string> WithArguments(const std::string& program, const std::string& parameters) {
    std::vector<std::string> argv{program};
    for (std::string& arg : SplitParameters(parameters))
        argv.push_back(std::move(arg));
    return argv;
}

} // namespace

std::vector<std::string> SplitParameters(const std::string& parameters) {
    std::vector<std::string> result;
    std::string current;
    bool inQuotes = false;
    bool hasArgument = false;
    for (const char c : parameters) {
        if (c == '"') {
            inQuotes = !inQuotes;
            hasArgument = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (hasArgument)
                result.push_back(current);
            current.clear();
            hasArgument = false;
        } else {
            current += c;
            hasArgument = true;
        }
    }
    if (hasArgument)
        result.push_back(current);
    return result;
}

void SystemShell::Open(const std::string& file, const std::string& parameters) {
    if (file.empty())
        return;
    const bool hasDirectory = file.find('/') != std::string::npos;
    if (hasDirectory || ExistsOnPath(file)) {
        if (!hasDirectory || IsExecutableFile(file))
            StartDetached(WithArguments(file, parameters));
        return;
    }
    // The named program does not exist here: open the document with the default application.
    const std::vector<std::string> documents = SplitParameters(parameters);
    if (!documents.empty())
        StartDetached({"xdg-open", documents.front()});
}

void RecordingShell::Open(const std::string& file, const std::string& parameters) {
    Calls.push_back({file, parameters});
}

Shell& CurrentShell() {
    static SystemShell systemShell;
    return installedShell != nullptr ? *installedShell : systemShell;
}

void SetShell(Shell* shell) {
    installedShell = shell;
}

} // namespace platform
