// Shared set-up of the live pages' tests: the scripted driver as the group's master in a second
// process, this process as a slave with the store active, and watchers that tell when a change
// the driver announced has reached this process.
#pragma once

#include "store/ShareManager.h"
#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

#include <QImage>

#include <map>
#include <memory>
#include <string>

namespace tk {
class TControl;
}

class LiveTest : public testing::Test {
protected:
    LiveTest();
    ~LiveTest() override;

    // Counts the change events of one variable in this process. Create watchers before
    // Activate: a variable created while the store is active stays dead.
    void Watch(const std::string& sec, const std::string& name, const std::string& type,
               int count = 1);
    int Changes(const std::string& sec, const std::string& name) const;
    // The watched variable as this process reads it.
    int ValueInt(const std::string& sec, const std::string& name);

    // Starts the driver and activates this process's store as a slave.
    void Activate();
    // An announced write by the driver, then waits until this process has seen it. Everything
    // the driver announced before it has been delivered by then as well.
    void DriverSet(const std::string& sec, const std::string& name, const std::string& value,
                   int index = -1);
    void DriverSetSilent(const std::string& sec, const std::string& name, const std::string& value,
                         int index);
    // Waits until every change announced so far has reached this process.
    void Settle();

    DriverProcess itsDriver;

private:
    struct Watcher {
        TShareVarBase* Var = nullptr;
        int Changes = 0;
    };

    std::unique_ptr<TShareVarPoly> itsWatchPoly;
    std::map<std::string, Watcher> itsWatchers;
    std::unique_ptr<TShareManager> itsManager;
    int itsSettleCount = 0;
};

// The control as it reaches the screen.
QImage Snapshot(tk::TControl* control);
// Pixels of exactly this colour (0xRRGGBB).
int CountPixels(const QImage& image, unsigned rgb);
