#include "control/KXB3_Contact.h"

#include "platform/Kernel.h"
#include "toolkit/IniFiles.h"

#include <filesystem>
#include <string_view>
#include <sys/stat.h>

using namespace tk;

namespace {

std::string ProgramDirectory() {
    return std::filesystem::path(platform::GetModuleFileName()).parent_path().string() + "/";
}

// A read-only file (no write permission for anyone) is kept, as the desktop keeps a read-only
// file from being deleted, so a copy the user protected is never replaced, not even by root.
bool IsReadOnly(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
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

// A record that fails is skipped without a message. Each file is replaced whole or not at all, so
// a full disk keeps the old copy, and anything but a regular file in its place (a FIFO that would
// block the start) is left alone.
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
    if (IsReadOnly(path))
        return;
    tk::SaveWholeFile(path, std::string_view(reinterpret_cast<const char*>(file.content),
                                             static_cast<std::size_t>(file.length)));
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
