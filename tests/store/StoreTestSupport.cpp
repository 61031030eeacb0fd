#include "StoreTestSupport.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace storetest {

namespace {
std::string Prefix() {
    const char* prefix = std::getenv("QUILBEX_IPC_NAMESPACE");
    return prefix != nullptr ? prefix : "";
}
} // namespace

std::string UseOwnNamespace(const std::string& tag) {
    const std::string prefix = "qt" + std::to_string(getpid()) + tag + "_";
    setenv("QUILBEX_IPC_NAMESPACE", prefix.c_str(), 1);
    return prefix;
}

std::vector<std::string> LeftoverObjects() {
    std::vector<std::string> names;
    const std::string prefix = Prefix();
    DIR* dir = opendir("/dev/shm");
    if (dir == nullptr || prefix.empty()) {
        if (dir != nullptr) {
            closedir(dir);
        }
        return names;
    }
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(prefix, 0) == 0) {
            names.push_back(name);
        }
    }
    closedir(dir);
    return names;
}

int RemoveLeftoverObjects() {
    const auto names = LeftoverObjects();
    for (const auto& name : names) {
        shm_unlink(("/" + name).c_str());
    }
    return static_cast<int>(names.size());
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        usleep(1000);
    }
    return true;
}

void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}

BlockView::BlockView(const std::string& name, std::uint32_t size) {
    itsMapping = platform::CreateNamedMapping(nullptr, size, name, &itsExisted);
    if (itsMapping != nullptr) {
        itsView = platform::MapViewOfMapping(itsMapping, size);
    }
}

BlockView::~BlockView() {
    if (itsView != nullptr) {
        platform::UnmapViewOfMapping(itsView);
    }
    if (itsMapping != nullptr) {
        platform::CloseNamedHandle(itsMapping);
    }
}

Peer::Peer(const std::vector<std::string>& environment) {
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    char program[] = STORE_PEER_PATH;
    char* argv[] = {program, nullptr};
    std::vector<char*> envp;
    for (const std::string& variable : environment) {
        envp.push_back(const_cast<char*>(variable.c_str()));
    }
    for (char** variable = environ; *variable != nullptr; ++variable) {
        envp.push_back(*variable);
    }
    envp.push_back(nullptr);
    if (posix_spawn(&itsPid, program, &actions, nullptr, argv, envp.data()) != 0) {
        itsPid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    itsIn = toChild[1];
    itsOut = fromChild[0];
}

Peer::~Peer() {
    if (itsIn >= 0) {
        close(itsIn);
    }
    if (itsPid > 0) {
        // A clean end: the peer deactivates its store when its input closes.
        int status = 0;
        bool ended = PumpUntil([&] { return waitpid(itsPid, &status, WNOHANG) == itsPid; }, 5000);
        if (!ended) {
            kill(itsPid, SIGKILL);
            waitpid(itsPid, &status, 0);
        }
    }
    if (itsOut >= 0) {
        close(itsOut);
    }
}

void Peer::Kill() {
    if (itsPid > 0) {
        kill(itsPid, SIGKILL);
        int status = 0;
        waitpid(itsPid, &status, 0);
        itsPid = -1;
    }
}

bool Peer::Ended() {
    int status = 0;
    if (itsPid > 0 && waitpid(itsPid, &status, WNOHANG) == itsPid) {
        itsPid = -1;
    }
    return itsPid <= 0;
}

void Peer::ReadAvailable(int waitMs) {
    pollfd fd{itsOut, POLLIN, 0};
    if (itsOut < 0 || ::poll(&fd, 1, waitMs) <= 0) {
        return;
    }
    char buffer[4096];
    const ssize_t length = read(itsOut, buffer, sizeof(buffer));
    if (length <= 0) {
        return;
    }
    itsBuffer.append(buffer, static_cast<std::size_t>(length));
    std::size_t end = 0;
    while ((end = itsBuffer.find('\n')) != std::string::npos) {
        itsLines.push_back(itsBuffer.substr(0, end));
        itsBuffer.erase(0, end + 1);
    }
}

std::string Peer::WaitLine(const std::string& prefix, int timeoutMs) {
    std::string found;
    PumpUntil(
        [&] {
            ReadAvailable(1);
            for (auto it = itsLines.begin(); it != itsLines.end(); ++it) {
                if (it->rfind(prefix, 0) == 0) {
                    found = *it;
                    itsLines.erase(itsLines.begin(), it + 1);
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool Peer::Seen(const std::string& prefix) {
    ReadAvailable(0);
    for (const auto& line : itsLines) {
        if (line.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

void Peer::Drain() {
    ReadAvailable(0);
    itsLines.clear();
}

bool Peer::Send(const std::string& command) {
    const std::string line = command + "\n";
    return write(itsIn, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

std::string Peer::Ask(const std::string& command, int timeoutMs) {
    if (!Send(command)) {
        return {};
    }
    std::string answer;
    PumpUntil(
        [&] {
            ReadAvailable(1);
            for (auto it = itsLines.begin(); it != itsLines.end(); ++it) {
                if (it->rfind("change ", 0) != 0) {
                    answer = *it;
                    itsLines.erase(it);
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return answer;
}

} // namespace storetest
