#include "toolkit/IniFiles.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tk {

namespace {

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Sections and keys match without regard to the case of ASCII letters.
std::string Folded(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Parses the whole (trimmed) text as a number of type T; false when anything is left over.
template <class T> bool ParseNumber(const std::string& text, T& value) {
    std::string trimmed = Trim(text);
    // One leading '+' is allowed, as in "+5"; a second sign ("+-5", "++5") is not a number.
    if (!trimmed.empty() && trimmed.front() == '+') {
        trimmed.erase(0, 1);
        if (!trimmed.empty() && (trimmed.front() == '-' || trimmed.front() == '+')) {
            return false;
        }
    }
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && first != last;
}

// Closes a file descriptor when it goes out of scope.
struct Descriptor {
    explicit Descriptor(int value) : fd(value) {}
    ~Descriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    const int fd;
};

Exception ReadError(const std::string& path, const std::string& reason) {
    return Exception("Cannot read file \"" + path + "\": " + reason);
}

Exception ReadError(const std::string& path, int error) {
    return ReadError(path, std::generic_category().message(error));
}

// Reads the whole file; a file that does not exist reads as empty. It is opened without blocking
// and read only when it is a regular file, so a FIFO or a device in its place can neither hang
// the reader nor feed it without end. A file larger than `limit` is refused before it is read,
// and one that grows past it while being read is refused too.
std::string ReadWholeFile(const std::string& path, std::size_t limit) {
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {};
        }
        throw ReadError(path, errno);
    }
    struct stat info {};
    if (fstat(file.fd, &info) != 0) {
        throw ReadError(path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw ReadError(path, "not a regular file");
    }
    const auto tooLarge = [&] {
        return ReadError(path, "larger than " + std::to_string(limit) + " bytes");
    };
    if (static_cast<std::size_t>(info.st_size) > limit) {
        throw tooLarge();
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(file.fd, buffer, sizeof(buffer));
        if (got == 0) {
            return text;
        }
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
            if (text.size() > limit) {
                throw tooLarge();
            }
        } else if (errno != EINTR) {
            throw ReadError(path, errno);
        }
    }
}

// Gives the new file the old one's owner, group and mode. Without the right to give a file away,
// the writer keeps at least the group where it is one of its members; otherwise the file is the
// writer's, as a newly created one would be.
void KeepOwnerAndMode(int fd, const struct stat& old) {
    struct stat now {};
    if (fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupKept = fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    fchmod(fd, old.st_mode & 07777);
}

// The folder that holds the file, after symbolic links; the path's own folder when it does not
// exist yet.
std::string FolderOf(const std::string& path) {
    char resolved[PATH_MAX];
    const std::string file = realpath(path.c_str(), resolved) != nullptr ? resolved : path;
    const auto slash = file.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
}

// The rename is durable only once the folder is synced. A failure here does not undo it: the new
// contents are in place, so it is not reported.
void SyncFolder(const std::string& folder) {
    const Descriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd >= 0) {
        fsync(dir.fd);
    }
}

// A new file cannot be put in place of the old one where the writer may not create files in its
// folder, or where the folder is sticky (as /tmp is) and neither the file nor the folder is the
// writer's: only their owners may rename over the file there.
bool MustWriteInPlace(const std::string& folder, const struct stat& old) {
    struct stat info {};
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0 ||
        stat(folder.c_str(), &info) != 0) {
        return true;
    }
    const uid_t writer = geteuid();
    return (info.st_mode & S_ISVTX) != 0 && writer != 0 && writer != old.st_uid &&
           writer != info.st_uid;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes over the existing file, which keeps its owner and mode. It is opened without blocking,
// so a FIFO put in its place is refused, and without creating it, as the system refuses opening
// another user's file in a sticky folder for creation.
bool WriteInPlace(const std::string& path, std::string_view bytes) {
    const Descriptor file(open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    return ftruncate(file.fd, 0) == 0 && WriteAll(file.fd, bytes) && fsync(file.fd) == 0;
}

// Replaces the file through QSaveFile: the bytes go to an unnamed file beside it, created private,
// which takes the old file's owner and mode, is synced, linked under a temporary name (the file's
// name and six random characters) and renamed over the old one. A failure removes the new file; a
// kill leaves the old file or the new one, and when it strikes between the link and the rename,
// the new file under its temporary name beside the old one.
bool ReplaceFile(const std::string& path, std::string_view bytes, const struct stat* old) {
    QSaveFile file(QFile::decodeName(path.c_str()));
    // Unbuffered, so that a short write (a full disk) is seen here: a write that fails only
    // when commit flushes its buffer would still be renamed over the old file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    if (old != nullptr) {
        KeepOwnerAndMode(file.handle(), *old);
    }
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(bytes.data(), size) == size && file.commit();
}

} // namespace

bool SaveWholeFile(const std::string& path, std::string_view bytes) {
    struct stat old {};
    const bool exists = stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        return false;
    }
    const std::string folder = FolderOf(path);
    if (exists && MustWriteInPlace(folder, old)) {
        return WriteInPlace(path, bytes);
    }
    if (!ReplaceFile(path, bytes, exists ? &old : nullptr)) {
        return false;
    }
    SyncFolder(folder);
    return true;
}

TMemIniFile::TMemIniFile(const std::string& FileName) : itsFileName(FileName) {
    Load();
}

void TMemIniFile::Load() {
    std::istringstream in(ReadWholeFile(itsFileName, kMaxFileSize));
    std::string line;
    IniSection* current = nullptr;
    bool first = true;
    while (std::getline(in, line)) {
        // A file saved by an editor may start with a UTF-8 byte order mark; it is not part of
        // the first line, which is usually a section header.
        if (first && line.rfind("\xEF\xBB\xBF", 0) == 0) {
            line.erase(0, 3);
        }
        first = false;
        const std::string text = Trim(line);
        if (text.empty() || text.front() == ';') {
            continue;
        }
        if (text.front() == '[' && text.back() == ']') {
            current = &SectionFor(Trim(text.substr(1, text.size() - 2)));
            continue;
        }
        const auto equals = text.find('=');
        if (current == nullptr || equals == std::string::npos) {
            continue;
        }
        // Of two equal keys the first one read counts.
        SetValue(*current, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1)), false);
    }
}

const TMemIniFile::IniSection* TMemIniFile::FindSection(const std::string& name) const {
    const auto it = itsSectionIndex.find(Folded(name));
    return it == itsSectionIndex.end() ? nullptr : &itsSections[it->second];
}

TMemIniFile::IniSection& TMemIniFile::SectionFor(const std::string& name) {
    const auto [it, added] = itsSectionIndex.try_emplace(Folded(name), itsSections.size());
    if (added) {
        itsSections.push_back(IniSection{name, {}, {}});
    }
    return itsSections[it->second];
}

const std::string* TMemIniFile::FindValue(const std::string& section,
                                          const std::string& ident) const {
    const IniSection* found = FindSection(section);
    if (found == nullptr) {
        return nullptr;
    }
    const auto it = found->Index.find(Folded(ident));
    return it == found->Index.end() ? nullptr : &found->Values[it->second].second;
}

// A new key goes to the end of the section; an existing one keeps its place and the case it was
// first written with.
void TMemIniFile::SetValue(IniSection& section, const std::string& key, const std::string& value,
                           bool replace) {
    const auto [it, added] = section.Index.try_emplace(Folded(key), section.Values.size());
    if (added) {
        section.Values.emplace_back(key, value);
    } else if (replace) {
        section.Values[it->second].second = value;
    }
}

bool TMemIniFile::SectionExists(const std::string& Section) const {
    return FindSection(Section) != nullptr;
}

bool TMemIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
    return FindValue(Section, Ident) != nullptr;
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
    const std::string* value = FindValue(Section, Ident);
    return value != nullptr ? *value : Default;
}

int TMemIniFile::ReadInteger(const std::string& Section, const std::string& Ident,
                             int Default) const {
    const std::string* text = FindValue(Section, Ident);
    int value = 0;
    return text != nullptr && ParseNumber(*text, value) ? value : Default;
}

bool TMemIniFile::ReadBool(const std::string& Section, const std::string& Ident,
                           bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

double TMemIniFile::ReadFloat(const std::string& Section, const std::string& Ident,
                              double Default) const {
    const std::string* text = FindValue(Section, Ident);
    double value = 0;
    return text != nullptr && ParseNumber(*text, value) ? value : Default;
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    SetValue(SectionFor(Section), Ident, Value, true);
}

void TMemIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

void TMemIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TMemIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value) {
    char text[64];
    const auto result =
        std::to_chars(std::begin(text), std::end(text), Value, std::chars_format::general, 15);
    WriteString(Section, Ident, std::string(text, result.ptr));
}

void TMemIniFile::UpdateFile() {
    std::ostringstream out;
    for (const IniSection& section : itsSections) {
        out << '[' << section.Name << "]\n";
        for (const auto& [key, value] : section.Values) {
            out << key << '=' << value << '\n';
        }
        out << '\n';
    }
    if (!SaveWholeFile(itsFileName, out.str())) {
        throw Exception("Cannot create file \"" + itsFileName + "\"");
    }
}

} // namespace tk
