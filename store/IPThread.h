// The store's poll thread: sleeps for its interval, then hands one tick to the user-interface
// thread, where OnPoll runs, and waits until the handler has returned.
#pragma once

#include "toolkit/Classes.h"
#include "toolkit/Thread.h"

#include <atomic>
#include <cstdint>
#include <memory>

class TIPThread : public tk::TThread {
public:
    // Created suspended: runs nothing until Run is set to true.
    TIPThread();
    ~TIPThread() override;

    unsigned long GetInterval() const { return itsInterval.load(); }
    void SetInterval(unsigned long value) { itsInterval.store(static_cast<std::uint32_t>(value)); }
    bool GetRun() const { return !GetSuspended(); }
    void SetRun(bool value);
    tk::TNotifyEvent GetOnPoll() const { return itsOnPoll; }
    void SetOnPoll(const tk::TNotifyEvent& value) { itsOnPoll = value; }

protected:
    void Execute() override;

private:
    // The tick, on the user-interface thread.
    void DoTick();

    std::atomic<std::uint32_t> itsInterval{1000};
    bool itsBusy = false;
    tk::TNotifyEvent itsOnPoll;
    // Cleared by the destructor: a tick whose handler destroyed this object touches nothing.
    std::shared_ptr<bool> itsAlive = std::make_shared<bool>(true);
};
