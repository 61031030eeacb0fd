// The driver's settings file as last read, for the Dirty test of every tick: the file is read
// and parsed again only when it changed, so a tick costs one stat instead of a parse.
#pragma once

#include "toolkit/IniFiles.h"

#include <ctime>
#include <exception>
#include <memory>
#include <string>
#include <sys/types.h>

class SavedSettings {
public:
    explicit SavedSettings(std::string path);

    // The file's contents, read again when the file is not the one last read (another inode or
    // device, size, modification or change time) or changed too recently for its times to tell
    // a later write apart. Raises as tk::TMemIniFile does, or std::bad_alloc, when it cannot be
    // read; that failure, too, is kept until the file changes.
    tk::TMemIniFile& Get();
    // Forgets what was read: the next Get reads the file (after the driver's own save or load).
    void Forget();

private:
    struct Stamp {
        bool Exists = false;
        dev_t Device = 0;
        ino_t Inode = 0;
        off_t Size = 0;
        timespec Modified{};
        timespec Changed{};
    };

    void Read();
    static bool TakeStamp(const std::string& path, Stamp& stamp);
    static bool Same(const Stamp& a, const Stamp& b);
    static bool Settled(const Stamp& stamp, const timespec& now);

    std::string itsPath;
    bool itsTrusted = false; // the stamp still tells whether the file changed since it was read
    Stamp itsStamp;
    std::unique_ptr<tk::TMemIniFile> itsIni;
    std::exception_ptr itsError; // what the last read raised
};
