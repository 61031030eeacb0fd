#include "driver/SavedSettings.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

// File times tick in steps (a clock tick on most file systems, 2 s on some): a second write
// within the step of the one before can leave them as they were. A file changed less than this
// before it was looked at is therefore read again on the next look.
constexpr time_t kSettleSeconds = 2;

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool Earlier(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

} // namespace

SavedSettings::SavedSettings(std::string path) : itsPath(std::move(path)) {}

tk::TMemIniFile& SavedSettings::Get() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    Stamp stamp;
    const bool known = TakeStamp(itsPath, stamp);
    // The stamp is taken before the read: a write after it shows as a change on the next look.
    if (!itsTrusted || !known || !Same(stamp, itsStamp)) {
        Read();
        itsStamp = stamp;
        itsTrusted = known && Settled(stamp, now);
    }
    if (itsError) {
        std::rethrow_exception(itsError);
    }
    return *itsIni;
}

void SavedSettings::Forget() {
    itsTrusted = false;
}

void SavedSettings::Read() {
    itsIni.reset();
    itsError = nullptr;
    try {
        itsIni = std::make_unique<tk::TMemIniFile>(itsPath);
    } catch (...) {
        itsError = std::current_exception();
    }
}

// False when the file cannot be looked at; a missing file is a stamp of its own.
bool SavedSettings::TakeStamp(const std::string& path, Stamp& stamp) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return errno == ENOENT;
    }
    stamp = Stamp{true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    return true;
}

bool SavedSettings::Same(const Stamp& a, const Stamp& b) {
    return a.Exists == b.Exists && a.Device == b.Device && a.Inode == b.Inode && a.Size == b.Size &&
           SameTime(a.Modified, b.Modified) && SameTime(a.Changed, b.Changed);
}

// Whether the file's last change lies far enough before `now` that a later write must change
// its times.
bool SavedSettings::Settled(const Stamp& stamp, const timespec& now) {
    const timespec& last = Earlier(stamp.Modified, stamp.Changed) ? stamp.Changed : stamp.Modified;
    return Earlier(timespec{last.tv_sec + kSettleSeconds, last.tv_nsec}, now);
}
