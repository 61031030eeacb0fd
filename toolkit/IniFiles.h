// In-memory INI file: the whole file is read when the object is created and written back by
// UpdateFile. Sections and keys are matched without regard to case and keep the case they were
// first written with. Numbers use '.' as the decimal separator whatever the locale, so files read
// back on any machine.
#pragma once

#include "toolkit/Classes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tk {

// Replaces the file at `path` with `bytes`, whole or not at all: the bytes go to a new file beside
// it that is renamed over it, so a failure or a crash keeps the old contents. A symbolic link is
// followed; the file keeps its mode, and its owner and group as far as the writer may give them.
// Anything but a regular file, or a file the writer may not write, is refused without waiting.
// Where the file cannot be renamed over (a folder the writer may not write, or a sticky folder and
// another user's file) it is written in place, which a crash can leave part-written. False when
// the file was not written.
bool SaveWholeFile(const std::string& path, std::string_view bytes);

class TMemIniFile : public TObject {
public:
    // Reads `FileName` if it exists; a missing file gives an empty object. A file that exists
    // but cannot be read, is not a regular file or is larger than kMaxFileSize raises
    // tk::Exception naming it: its caller must not write defaults over it.
    explicit TMemIniFile(const std::string& FileName);

    // The driver's settings file is under a kilobyte. This leaves room for thousands of times
    // that, while reading the largest file allowed takes well under a second and under 100 MB.
    static constexpr std::size_t kMaxFileSize = 4 << 20;

    const std::string& GetFileName() const { return itsFileName; }

    bool SectionExists(const std::string& Section) const;
    bool ValueExists(const std::string& Section, const std::string& Ident) const;

    // Readers return `Default` for a missing key or a text that does not parse.
    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const;
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    double ReadFloat(const std::string& Section, const std::string& Ident, double Default) const;

    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    // General format, up to 15 significant digits.
    void WriteFloat(const std::string& Section, const std::string& Ident, double Value);

    // Writes the file through SaveWholeFile; a refusal or a failure raises tk::Exception.
    void UpdateFile();

private:
    // Keys keep their order in Values; Index finds them by their case-folded name.
    struct IniSection {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Values;
        std::unordered_map<std::string, std::size_t> Index;
    };

    const IniSection* FindSection(const std::string& name) const;
    IniSection& SectionFor(const std::string& name);
    static void SetValue(IniSection& section, const std::string& key, const std::string& value,
                         bool replace);
    const std::string* FindValue(const std::string& section, const std::string& ident) const;
    void Load();

    std::string itsFileName;
    std::vector<IniSection> itsSections;
    std::unordered_map<std::string, std::size_t> itsSectionIndex;
};

} // namespace tk
