// An ordered list of strings that tells its owner when it changes. Between BeginUpdate and
// the matching EndUpdate changes are gathered and reported once, at EndUpdate.
#pragma once

#include "toolkit/Classes.h"

#include <string>
#include <vector>

namespace tk {

class TStrings : public TObject {
public:
    int GetCount() const { return static_cast<int>(itsLines.size()); }
    // Raises tk::Exception for an index outside 0..Count-1.
    const std::string& GetString(int index) const;
    void SetString(int index, const std::string& line);
    const std::string& operator[](int index) const { return GetString(index); }

    int Add(const std::string& line);
    void Insert(int index, const std::string& line);
    void Delete(int index);
    void Clear();
    int IndexOf(const std::string& line) const;
    // Copies the lines of source (an empty list when source is null).
    void Assign(const TStrings* source);
    // The lines joined with '\n' (each line ends with it); SetText splits on '\n', dropping '\r'.
    std::string GetText() const;
    void SetText(const std::string& text);
    const std::vector<std::string>& Lines() const { return itsLines; }

    void BeginUpdate() { ++itsUpdateCount; }
    void EndUpdate();

    TNotifyEvent OnChange;

private:
    void Changed();
    void CheckIndex(int index, int limit) const;

    std::vector<std::string> itsLines;
    int itsUpdateCount = 0;
    bool itsChangedWhileUpdating = false;
};

class TStringList : public TStrings {};

} // namespace tk
