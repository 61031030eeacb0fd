// In-memory INI file: the whole file is read when the object is created and written back by
// UpdateFile. Sections and keys are matched without regard to case and keep the case they were
// first written with. Numbers use '.' as the decimal separator whatever the locale, so files read
// back on any machine.
#pragma once

#include "toolkit/Classes.h"

#include <string>
#include <utility>
#include <vector>

namespace tk {

class TMemIniFile : public TObject {
public:
    // Reads `FileName` if it exists; a missing file gives an empty object. A file that exists
    // but cannot be read, or is not a regular file, raises tk::Exception naming it: its caller
    // must not write defaults over it.
    explicit TMemIniFile(const std::string& FileName);

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

    // Replaces the file whole: on any failure (raised as tk::Exception) or a crash it keeps its
    // old contents. A symbolic link is followed; the file keeps its mode, and its owner and group
    // as far as the writer may give them. A file the writer may not write, or that is not a
    // regular file, is refused. In a folder the writer may not write, the file is written in
    // place, which a crash can leave part-written.
    void UpdateFile();

private:
    struct IniSection {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Values;
    };

    const IniSection* FindSection(const std::string& name) const;
    IniSection& SectionFor(const std::string& name);
    const std::string* FindValue(const std::string& section, const std::string& ident) const;
    void Load();

    std::string itsFileName;
    std::vector<IniSection> itsSections;
};

} // namespace tk
