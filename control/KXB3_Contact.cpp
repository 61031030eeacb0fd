#include "control/KXB3_Contact.h"

#include "platform/Kernel.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace tk;

namespace {

std::string ProgramDirectory() {
    return std::filesystem::path(platform::GetModuleFileName()).parent_path().string() + "/";
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A read-only file (no write permission for anyone) is refused, as the desktop's delete refuses
// a read-only file, so a copy the user protected is never replaced.
bool DeleteFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return unlink(path.c_str()) == 0;
}

// Writes all bytes unless the file refuses them; the outcome is not reported.
void WriteAll(int handle, const unsigned char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = write(handle, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
}

} // namespace

TKXBW3_Contact::TKXBW3_Contact(TComponent* AOwner) : TKXBW3_Contact(AOwner, ProgramDirectory()) {}

TKXBW3_Contact::TKXBW3_Contact(TComponent* AOwner, std::string exeDir)
    : TFrame(AOwner), ExeDir(std::move(exeDir)) {
    CreateLayout();
    WriteContactFiles();
    ShowPage();
}

void TKXBW3_Contact::CreateLayout() {
    SetName("KXBW3_Contact");
    SetBounds(0, 0, 594, 454);
    WebBrowser = new TWebBrowser(this);
    WebBrowser->SetName("WebBrowser");
    WebBrowser->SetParent(this);
    WebBrowser->SetAlign(alClient);
}

void TKXBW3_Contact::WriteContactFiles() {
    for (const TEmbeddedFile& file : EmbeddedFiles)
        WriteEmbeddedFile(file);
    PagePath = ExeDir + EmbeddedFiles[0].name;
}

// A record that fails is skipped without a message; an existing copy that cannot be deleted
// stays as it was.
void TKXBW3_Contact::WriteEmbeddedFile(const TEmbeddedFile& file) {
    std::string dir = ExeDir;
    if (file.subdirectory[0] != '\0') {
        const std::string sub = ExeDir + file.subdirectory;
        std::error_code ignored;
        std::filesystem::create_directories(sub, ignored);
        dir = sub + "/";
    }
    const std::string path = dir + file.name;
    if (file.length < 0)
        return;
    if (FileExists(path) && !DeleteFile(path))
        return;
    const int handle = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle < 0)
        return;
    WriteAll(handle, file.content, static_cast<std::size_t>(file.length));
    close(handle);
}

void TKXBW3_Contact::ShowPage() {
    WebBrowser->Navigate(PagePath);
}

void TKXBW3_Contact::SlowTick() {
    const bool enabled = GetEnabled();
    if (enabled != LastEnabled) {
        LastEnabled = enabled;
        ShowPage();
    }
}
