#include "toolkit/IniFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sstream>
#include <strings.h>
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

bool SameText(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
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
// the reader nor feed it without end.
std::string ReadWholeFile(const std::string& path) {
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
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(file.fd, buffer, sizeof(buffer));
        if (got == 0) {
            return text;
        }
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
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

// The rename is durable only once the folder is synced. A failure here does not undo it: the new
// contents are in place, so it is not reported.
void SyncFolderOf(const QString& name) {
    const QString folder = QFileInfo(QFileInfo(name).canonicalFilePath()).absolutePath();
    const Descriptor dir(
        open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd >= 0) {
        fsync(dir.fd);
    }
}

// Replaces the file whole through QSaveFile: the text goes to an unnamed file beside it, created
// private, which takes the old file's owner and mode, is synced and then renamed over the old
// one, so a crash or a kill leaves the old file or the new one and nothing else. Where the folder
// refuses a new file, the file is written in place, which is not atomic. An existing file the
// writer may not write is refused, as is anything but a regular file.
bool SaveWholeFile(const std::string& path, const std::string& text) {
    struct stat old {};
    const bool exists = stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        return false;
    }
    const QString name = QFile::decodeName(path.c_str());
    QSaveFile file(name);
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a short write (a full disk) is seen here: a write that fails only
    // when commit flushes its buffer would still be renamed over the old file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    if (exists) {
        KeepOwnerAndMode(file.handle(), old);
    }
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size || !file.commit()) {
        return false;
    }
    SyncFolderOf(name);
    return true;
}

} // namespace

TMemIniFile::TMemIniFile(const std::string& FileName) : itsFileName(FileName) {
    Load();
}

void TMemIniFile::Load() {
    std::istringstream in(ReadWholeFile(itsFileName));
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
        const std::string key = Trim(text.substr(0, equals));
        const std::string value = Trim(text.substr(equals + 1));
        auto it = std::find_if(current->Values.begin(), current->Values.end(),
                               [&key](const auto& entry) { return SameText(entry.first, key); });
        if (it == current->Values.end()) {
            current->Values.emplace_back(key, value);
        }
    }
}

const TMemIniFile::IniSection* TMemIniFile::FindSection(const std::string& name) const {
    auto it = std::find_if(itsSections.begin(), itsSections.end(),
                           [&name](const IniSection& s) { return SameText(s.Name, name); });
    return it == itsSections.end() ? nullptr : &*it;
}

TMemIniFile::IniSection& TMemIniFile::SectionFor(const std::string& name) {
    auto it = std::find_if(itsSections.begin(), itsSections.end(),
                           [&name](const IniSection& s) { return SameText(s.Name, name); });
    if (it != itsSections.end()) {
        return *it;
    }
    itsSections.push_back(IniSection{name, {}});
    return itsSections.back();
}

const std::string* TMemIniFile::FindValue(const std::string& section,
                                          const std::string& ident) const {
    const IniSection* found = FindSection(section);
    if (found == nullptr) {
        return nullptr;
    }
    for (const auto& [key, value] : found->Values) {
        if (SameText(key, ident)) {
            return &value;
        }
    }
    return nullptr;
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
    IniSection& section = SectionFor(Section);
    for (auto& [key, value] : section.Values) {
        if (SameText(key, Ident)) {
            value = Value;
            return;
        }
    }
    section.Values.emplace_back(Ident, Value);
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
    // Replaced whole, so that a crash or a full disk never leaves the settings empty.
    if (!SaveWholeFile(itsFileName, out.str())) {
        throw Exception("Cannot create file \"" + itsFileName + "\"");
    }
}

} // namespace tk
