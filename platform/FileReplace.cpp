#include "platform/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

void (*gTestHook)() = nullptr;

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Follows symbolic links until `path` names something else or nothing yet.
bool ResolveLinks(std::string& path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return true;
        }
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof(target));
        if (length < 0 || length == static_cast<ssize_t>(sizeof(target))) {
            errno = length < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        const std::string link(target, static_cast<std::size_t>(length));
        path = link[0] == '/' ? link : DirectoryOf(path) + link;
    }
    errno = ELOOP;
    return false;
}

bool WriteAll(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool Sync(int fd) {
    while (fsync(fd) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

std::string BaseNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The prefix of every temporary file of `path`: ".<name>."; the writer's process id, "-", a
// counter and ".tmp" follow.
std::string TemporaryPrefixOf(const std::string& path) {
    return "." + BaseNameOf(path) + ".";
}

// The process id in a temporary file's name, or 0 when the name is not one of ours.
pid_t WriterOf(std::string_view entry, std::string_view prefix) {
    constexpr std::string_view suffix = ".tmp";
    if (entry.size() < prefix.size() + suffix.size() || !entry.starts_with(prefix) ||
        !entry.ends_with(suffix)) {
        return 0;
    }
    const char* first = entry.data() + prefix.size();
    const char* last = entry.data() + entry.size() - suffix.size();
    pid_t writer = 0;
    unsigned serial = 0;
    const auto [dash, badId] = std::from_chars(first, last, writer);
    if (badId != std::errc() || dash == last || *dash != '-') {
        return 0;
    }
    const auto [end, badSerial] = std::from_chars(dash + 1, last, serial);
    return badSerial == std::errc() && end == last ? writer : 0;
}

// Removes the temporary files that writers killed before their rename left beside `path`. A
// file whose writer still runs (or whose id a new process took) is left alone.
void RemoveAbandonedTemporaries(const std::string& path) {
    const std::string dir = DirectoryOf(path);
    DIR* listing = opendir(dir.empty() ? "." : dir.c_str());
    if (listing == nullptr) {
        return;
    }
    const std::string prefix = TemporaryPrefixOf(path);
    while (const dirent* entry = readdir(listing)) {
        const pid_t writer = WriterOf(entry->d_name, prefix);
        if (writer > 0 && writer != getpid() && kill(writer, 0) != 0 && errno == ESRCH) {
            unlink((dir + entry->d_name).c_str());
        }
    }
    closedir(listing);
}

// Creates an empty file beside `path` that no other writer uses; the caller closes it.
int CreateTemporary(const std::string& path, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (;;) {
        tempPath = DirectoryOf(path) + TemporaryPrefixOf(path) + std::to_string(getpid()) + "-" +
                   std::to_string(counter++) + ".tmp";
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
}

// Gives the new file the old one's owner and permission bits. Without the right to give a file
// away, it becomes the writer's, as a newly created one would.
bool KeepOwnerAndMode(int fd, const struct stat& old) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
        return false;
    }
    return fchmod(fd, old.st_mode & 07777) == 0;
}

// A failed directory sync does not undo the rename: the new contents are in place, only their
// durability across a power cut is not confirmed, so it is not reported as a failure.
void SyncDirectoryOf(const std::string& path) {
    const std::string dir = DirectoryOf(path);
    const int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        Sync(fd);
        close(fd);
    }
}

// Closes `fd`; when `ok` is false, errno keeps the error of the step that failed.
bool Close(int fd, bool ok) {
    const int error = errno;
    const bool closed = close(fd) == 0;
    if (!ok) {
        errno = error;
    }
    return ok && closed;
}

bool WriteInPlace(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    return fd >= 0 && Close(fd, WriteAll(fd, text));
}

bool WriteTemporary(int fd, const std::string& text, const struct stat* old) {
    return Close(fd,
                 (old == nullptr || KeepOwnerAndMode(fd, *old)) && WriteAll(fd, text) && Sync(fd));
}

// Removes the temporary file of a failed replacement, keeping errno.
bool Discard(const std::string& tempPath) {
    const int error = errno;
    unlink(tempPath.c_str());
    errno = error;
    return false;
}

} // namespace

bool ReplaceFileContents(const std::string& path, const std::string& text) {
    std::string target = path;
    if (!ResolveLinks(target)) {
        return false;
    }
    struct stat old {};
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        return WriteInPlace(target, text);
    }
    std::string tempPath;
    const int fd = CreateTemporary(target, tempPath);
    if (fd < 0) {
        return false;
    }
    if (!WriteTemporary(fd, text, exists ? &old : nullptr)) {
        return Discard(tempPath);
    }
    if (gTestHook != nullptr) {
        gTestHook();
    }
    if (rename(tempPath.c_str(), target.c_str()) != 0) {
        return Discard(tempPath);
    }
    RemoveAbandonedTemporaries(target);
    SyncDirectoryOf(target);
    return true;
}

void SetReplaceFileTestHook(void (*hook)()) {
    gTestHook = hook;
}

} // namespace platform
