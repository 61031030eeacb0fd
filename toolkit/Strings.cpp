#include "toolkit/Strings.h"

#include <algorithm>

namespace tk {

void TStrings::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) {
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    }
}

const std::string& TStrings::GetString(int index) const {
    CheckIndex(index, GetCount());
    return itsLines[static_cast<size_t>(index)];
}

void TStrings::SetString(int index, const std::string& line) {
    CheckIndex(index, GetCount());
    itsLines[static_cast<size_t>(index)] = line;
    Changed();
}

int TStrings::Add(const std::string& line) {
    itsLines.push_back(line);
    Changed();
    return GetCount() - 1;
}

void TStrings::Insert(int index, const std::string& line) {
    CheckIndex(index, GetCount() + 1);
    itsLines.insert(itsLines.begin() + index, line);
    Changed();
}

void TStrings::Delete(int index) {
    CheckIndex(index, GetCount());
    itsLines.erase(itsLines.begin() + index);
    Changed();
}

void TStrings::Clear() {
    if (itsLines.empty()) {
        return;
    }
    itsLines.clear();
    Changed();
}

int TStrings::IndexOf(const std::string& line) const {
    auto it = std::find(itsLines.begin(), itsLines.end(), line);
    return it == itsLines.end() ? -1 : static_cast<int>(it - itsLines.begin());
}

void TStrings::Assign(const TStrings* source) {
    if (source == this) {
        return;
    }
    itsLines = source != nullptr ? source->itsLines : std::vector<std::string>{};
    Changed();
}

std::string TStrings::GetText() const {
    std::string text;
    for (const std::string& line : itsLines) {
        text += line;
        text += '\n';
    }
    return text;
}

void TStrings::SetText(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    itsLines = std::move(lines);
    Changed();
}

void TStrings::EndUpdate() {
    if (itsUpdateCount > 0 && --itsUpdateCount == 0 && itsChangedWhileUpdating) {
        itsChangedWhileUpdating = false;
        Changed();
    }
}

void TStrings::Changed() {
    if (itsUpdateCount > 0) {
        itsChangedWhileUpdating = true;
        return;
    }
    if (OnChange) {
        OnChange(this);
    }
}

} // namespace tk
