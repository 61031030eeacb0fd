#include "store/IPThread.h"

TIPThread::TIPThread() = default;

TIPThread::~TIPThread() {
    SetRun(false);
    itsOnPoll = nullptr;
    *itsAlive = false;
    // Drops a tick that is handed over but not run yet, so this never waits for the
    // user-interface thread.
    Terminate();
    WaitFor();
}

void TIPThread::SetRun(bool value) {
    if (value) {
        Resume();
    } else {
        Suspend();
    }
}

void TIPThread::Execute() {
    while (WaitWhileSuspended()) {
        // The interval is read anew before every sleep: a handler's new value applies next.
        if (!SleepFor(itsInterval.load())) {
            return;
        }
        if (GetSuspended()) {
            continue; // a suspended thread hands over no tick
        }
        try {
            Synchronize([this] { DoTick(); });
        } catch (...) {
            // A poll handler that raised loses only its own tick; polling goes on.
        }
    }
}

// On the user-interface thread. The busy flag keeps a tick from starting inside another and
// is cleared whatever the handler does (returns, raises, or destroys this thread object), so
// later ticks still run.
void TIPThread::DoTick() {
    if (itsBusy) {
        return;
    }
    itsBusy = true;
    const auto alive = itsAlive;
    const tk::TNotifyEvent handler = itsOnPoll;
    try {
        if (handler) {
            handler(this);
        }
    } catch (...) {
        if (*alive) {
            itsBusy = false;
        }
        throw;
    }
    if (*alive) {
        itsBusy = false;
    }
}
