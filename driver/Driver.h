// The stand-in touch driver: master of the store's group "Grp", owner of every variable the
// system's programs create, and the party that acts on the control panel's commands.
//
// Live mode (no arguments, as the control panel starts it): every 50 ms it acts once on each
// change of the counters "Save", "Load", "Terminate" and "Reset" of section "Status", keeps
// "Dirty" equal to "the settings differ from the saved ones", and lets each section simulate
// its part of the touch controller.
//
// Scripted mode (--scripted, for tests): the same command handling, but no simulation and no
// Dirty tracking unless asked; line commands on standard input, one reply line each on standard
// output (see Execute). End of input ends the driver.
#pragma once

#include "driver/DriverSection.h"
#include "driver/SavedSettings.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TShareManager;
class StatusSection;

struct DriverOptions {
    bool Scripted = false;
    bool Slave = false;  // scripted only: join the group as a slave (a second program)
    std::string IniPath; // the driver's INI file
};

// Parses the command line; returns false (and a message) for an unknown argument.
bool ParseDriverOptions(int argc, char** argv, DriverOptions& options, std::string& error);

class Driver {
public:
    explicit Driver(DriverOptions options);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Activates the store. As master: false when another live driver already is the group's
    // master; otherwise loads the saved settings. False also when the driver cannot serve the
    // group (a shared object or the poll thread could not be had): the store is then inactive
    // again and Failure says what failed.
    bool Start();
    // Why Start returned false; "" when another driver is the master.
    const std::string& Failure() const { return itsFailure; }
    // Deactivates the store.
    void Stop();
    // One step of the loop: commands, then Dirty and the simulation when they are on.
    void Tick(uint32_t nowMs);
    // True once the Terminate command (or "quit") has ended the driver.
    bool Terminated() const { return itsTerminated; }

    // Runs one scripted command and returns its reply line:
    //   ping                          -> pong
    //   set  SEC NAME VALUE [INDEX]   -> ok     announced write
    //   setx SEC NAME VALUE [INDEX]   -> ok     silent write
    //   get  SEC NAME [INDEX]         -> value V   (Bool as 0/1)
    //   live on|off                   -> ok     simulation (each section's LiveTick)
    //   dirty on|off                  -> ok     keep "Dirty" from the saved settings
    //   acted Save|Load|Terminate|Reset -> value N   times the driver acted on the command
    //   masters | slaves              -> value N   the group's master and slave counts
    //   changes SEC NAME              -> value N   announced changes of the variable seen so far
    //   quit                          -> bye    deactivates and ends
    // Errors reply "error <reason>".
    std::string Execute(const std::string& line);

    // Runs the Qt event loop of the driver program until it ends; returns the exit code.
    static int Run(int argc, char** argv);

private:
    void CreateSections();
    bool JoinGroup();
    void BeginServing();
    void SaveSettings();
    void HandleCommands();
    bool LoadSettings();
    void UpdateDirty();
    TShareVarBase* FindVariable(const std::string& secName, const std::string& varName) const;
    std::string SetCommand(const std::vector<std::string>& words, bool announce);
    std::string GetCommand(const std::vector<std::string>& words);

    DriverOptions itsOptions;
    std::unique_ptr<TShareManager> itsShareManager;
    std::vector<std::unique_ptr<DriverSection>> itsSections;
    StatusSection* itsStatus = nullptr;
    bool itsLive = false;
    bool itsTrackDirty = false;
    bool itsStarted = false;
    bool itsTerminated = false;
    std::string itsFailure;
    SavedSettings itsSavedSettings;         // the file as last read, for Dirty
    std::map<std::string, int> itsLastSeen; // last value of each command counter
    std::map<std::string, int> itsActed;    // times the driver acted on each command
    std::map<int, int> itsChanges;          // change-ring entries seen, by variable ID
};
