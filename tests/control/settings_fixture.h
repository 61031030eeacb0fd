// Shared set-up of the settings pages' tests: the scripted driver as the group's master in a
// second process, this process as a slave whose store a test activates after creating its
// frames, and watchers on the driver's variables.
#pragma once

#include "store/ShareManager.h"
#include "store/ShareVarBase.h"
#include "store/ShareVarPoly.h"
#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

class SettingsTest : public testing::Test {
protected:
    SettingsTest();
    ~SettingsTest() override;

    // Watches one variable: its change events in this process and the writes to its block.
    // Watch before Activate: a variable created while the store is active stays dead.
    void Watch(const std::string& sec, const std::string& name, const std::string& type);
    int Changes(const std::string& sec, const std::string& name) const;
    // The block's change counter: it moves with every write, announced or silent.
    int BlockCount(const std::string& sec, const std::string& name);

    // Starts the driver and activates this process's store as a slave, then waits until the
    // first polls have flushed the writes the frames made before.
    void Activate();
    // An announced write by the driver; returns once this process has polled it.
    void DriverSet(const std::string& sec, const std::string& name, const std::string& value);
    // Waits until every change announced so far has reached this process and been polled.
    void Settle();

    DriverProcess itsDriver;

private:
    struct Watcher {
        TShareVarBase* Var = nullptr;
        int Changes = 0;
    };
    Watcher& Find(const std::string& sec, const std::string& name);

    std::unique_ptr<TShareVarPoly> itsWatchPoly;
    std::map<std::string, Watcher> itsWatchers;
    std::unique_ptr<TShareManager> itsManager;
    int itsSettleCount = 0;
};
