// Guard that lets only one copy of the control panel run: the named mutex "KX3_CONTROL_INST"
// marks a running copy by its existence alone; it is never waited on or released. The mutex
// lives as long as its holder, so a copy that crashed leaves nothing that blocks the next one.
#pragma once

#include "platform/Ipc.h"
#include "store/Security.h"

#include <cstdint>

constexpr uint32_t ERROR_ALREADY_EXISTS = 183;

class TSingleInstance {
public:
    TSingleInstance();
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // ERROR_ALREADY_EXISTS when another copy holds the mutex, else 0.
    uint32_t LastError = 0;

private:
    TSecurity Attributes;
    platform::Handle Mutex = nullptr;
};
