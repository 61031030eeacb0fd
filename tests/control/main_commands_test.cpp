// The driver commands as the store carries them: each one an announced write.
#include "control/KXB3_Status.h"
#include "store/ShareManager.h"
#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace tk;

// A driver may act on a command's change event alone, so a counter written silently would never
// reach it. This process is the group's master, so no driver acts on the commands (Terminate
// would end it); the scripted driver joins as a slave and counts the announcements it sees.
TEST(DriverCommands, AreAnnouncedWrites) {
    TKXBW3_Status status(nullptr);
    TShareManager manager(nullptr);
    manager.SetMaster(true);
    manager.SetActive(true);
    ASSERT_TRUE(manager.GetActive());
    DriverProcess watcher(DriverProcess::Role::Slave);
    ASSERT_TRUE(watcher.Start());

    struct Command {
        std::string Name;
        std::function<void()> Send;
    };
    const std::vector<Command> commands = {
        {"Save", [&] { status.SaveSettings(); }},
        {"Load", [&] { status.LoadSettings(); }},
        {"Reset", [&] { status.ResetDriverButton->Click(); }},
        {"Terminate",
         [&] {
             status.StopDriverButton->Click();
             status.SlowTick();
         }},
    };
    for (const Command& command : commands) {
        command.Send();
        EXPECT_TRUE(WaitFor([&] {
            return watcher.Command("changes Status " + command.Name) == "value 1";
        })) << command.Name;
    }
    manager.SetActive(false);
}
