// Small kernel services: a millisecond tick count, sleeping and the program's own path.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Stand-in for GetTickCount: milliseconds of a monotonic clock as a 32-bit value that wraps
// after about 49.7 days.
std::uint32_t GetTickCount();

// Stand-in for Sleep.
void Sleep(std::uint32_t milliseconds);

// Stand-in for GetModuleFileName of the running program: its absolute path, "" when unknown.
std::string GetModuleFileName();

// Raises the soft limit of open files to the hard limit (a process of the store holds two
// descriptors per variable). Done once per process; later calls do nothing.
void RaiseOpenFileLimit();

} // namespace platform
