// Test support for the control panel and the stand-in driver.
//
// Link a test executable against `control_test_support`: it brings a gtest main that creates an
// offscreen QApplication, gives every test its own QUILBEX_IPC_NAMESPACE (and removes whatever
// shared objects a test leaves behind), and installs recording stand-ins for the shell and the
// window services, so nothing is started and no window is raised.
//
//     #include "tests/control/main_test_support.h"       // PanelForms, ModalAnswer
//     #include "tests/control/support/DriverProcess.h"
//
//     TEST(SensePage, FollowsTheDriver) {
//         DriverProcess driver;                         // QUILBEX_Driver.exe --scripted
//         ASSERT_TRUE(driver.Start());                  // running as the group's master
//         PanelForms forms;                             // the nine forms, main timer stopped
//         forms.Tick();                                 // first tick activates the store
//         ASSERT_TRUE(driver.Set("Sense", "PressRatio", "0.25"));   // announced write
//         EXPECT_TRUE(WaitFor([&] { return ...; }));    // pumps Qt events while waiting
//         ModalAnswer yes(KXBW3_Exit, KXBW3_Exit->OKButton);        // answers a modal prompt
//         EXPECT_EQ(driver.GetInt("Status", "Save"), 1);
//         EXPECT_EQ(TestShell().Calls.size(), 1u);      // what the panel tried to start
//     }                                                 // the driver is stopped here
//
// DriverProcess(DriverProcess::Role::Slave) joins as a second program instead. The commands of
// the scripted driver are listed in driver/Driver.h (Driver::Execute).
#pragma once

#include "platform/Shell.h"
#include "platform/WindowServices.h"

#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <string>

class DriverProcess {
public:
    enum class Role { Master, Slave };

    explicit DriverProcess(Role role = Role::Master);
    ~DriverProcess();
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;

    // Starts the driver in scripted mode with its INI file in a fresh temporary directory.
    // True when it reported itself ready in its role; false when it refused (for a master:
    // another driver is the group's master) or did not answer in time.
    bool Start(int timeoutMs = 10000);
    // Sends one command line and returns the reply line; "" when the driver is not running or
    // does not answer in time.
    std::string Command(const std::string& line, int timeoutMs = 5000);

    bool Set(const std::string& sec, const std::string& name, const std::string& value);
    bool SetSilent(const std::string& sec, const std::string& name, const std::string& value);
    // The value text of a variable ("" on an error).
    std::string Get(const std::string& sec, const std::string& name, int index = 0);
    int GetInt(const std::string& sec, const std::string& name, int index = 0);
    float GetFloat(const std::string& sec, const std::string& name, int index = 0);
    bool GetBool(const std::string& sec, const std::string& name, int index = 0);
    // Times the driver acted on a command counter ("Save", "Load", "Terminate", "Reset").
    int Acted(const std::string& command);
    bool Live(bool on);
    bool TrackDirty(bool on);

    // Ends the driver: closes its input, so it deactivates the store and exits; kills it when
    // it does not exit in time.
    void Stop();
    // Kills the driver at once (SIGKILL), as a crash would end it.
    void Kill();
    // Waits for the driver to exit on its own (e.g. after the Terminate command).
    bool WaitForExit(int timeoutMs = 5000);
    bool Running() const;
    int ExitCode() const { return itsProcess.exitCode(); }
    std::string IniPath() const;
    // The last line the driver wrote at start ("ready master", "ready slave" or "busy").
    const std::string& Greeting() const { return itsGreeting; }

    // The built driver program.
    static std::string ProgramPath();

private:
    std::string ReadLine(int timeoutMs);

    Role itsRole;
    QProcess itsProcess;
    QTemporaryDir itsDir;
    std::string itsGreeting;
};

// Waits until condition() holds, running the Qt event loop meanwhile (store polls, timers).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);
// Runs the Qt event loop for about ms milliseconds.
void PumpEvents(int ms);

// The recording stand-ins the test main installs; cleared before every test.
platform::RecordingShell& TestShell();
platform::RecordingWindowServices& TestWindowServices();

// The namespace of the running test ("" outside a test).
std::string TestNamespace();
