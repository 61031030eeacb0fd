// Replaces a file's contents whole: a crash, a kill or a full disk at any instant leaves either
// the old contents or the new ones, never a mix or an empty file.
#pragma once

#include <string>

namespace platform {

// Writes `text` to a new file beside `path` (a hidden name ending in ".tmp", unique per writer),
// syncs it, renames it over `path` and syncs the directory. A symbolic link is followed: the file
// it names is replaced and the link stays. The replaced file keeps its permission bits (and its
// owner where allowed); a new one gets 0666 less the umask. A path that names something other
// than a regular file (a device, a pipe) is written in place. A replacement removes the
// temporary files that writers killed before their rename left beside the file. Returns false with
// errno set when the file could not be replaced; it is then as it was, and no temporary file is
// left.
bool ReplaceFileContents(const std::string& path, const std::string& text);

// Test-only: when set, called after the new text is written and synced, just before the rename.
void SetReplaceFileTestHook(void (*hook)());

} // namespace platform
