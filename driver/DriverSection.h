// One section of the stand-in driver: the variables the driver creates for one part of the
// shared vocabulary, with the same section, name, type and count as the control panel's pages
// create them, so that the driver's numbering as the group's master gives them IDs.
//
// A new section derives from DriverSection, creates its variables in its constructor with Add
// (or AddIn for a variable of another section), and overrides LiveTick to simulate the touch
// controller. It joins the driver with one line in Driver::CreateSections (driver/Driver.cpp).
//
//     class EdgeSection : public DriverSection {
//     public:
//         EdgeSection() : DriverSection("Edge") {
//             itsTopGain = Add("TopGain", "Float", 1, true);   // a saved setting
//         }
//         void LiveTick(uint32_t nowMs) override { ... }
//     private:
//         TShareVarBase* itsTopGain;
//     };
#pragma once

#include "store/ShareVarBase.h"
#include "toolkit/Classes.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

class TShareVarPoly;

// An exception's message for the driver's reports on standard error; running out of memory (a
// settings file too large to hold) is named as such.
std::string DescribeFailure(const std::exception& e);

class DriverSection {
public:
    explicit DriverSection(std::string secName);
    virtual ~DriverSection();
    DriverSection(const DriverSection&) = delete;
    DriverSection& operator=(const DriverSection&) = delete;

    const std::string& GetSecName() const { return itsSecName; }

    // Called once after the store became active as master, before the saved settings are
    // loaded: the place for start values. iniPath is the driver's INI file.
    virtual void OnStart(const std::string& /*iniPath*/) {}
    // Called every 50 ms while the driver simulates a live touch controller.
    virtual void LiveTick(uint32_t /*nowMs*/) {}
    // Called after the saved settings were loaded (at start and on the Load command).
    virtual void OnSettingsLoaded() {}
    // Called on the Reset command.
    virtual void OnReset() {}

    // The first variable this section created with the given section and name; null if none.
    TShareVarBase* Find(const std::string& secName, const std::string& varName) const;
    // Reads every element from the store, so that values written before the store was active
    // are replaced by the store's own and the first poll writes nothing new (a joining slave).
    void AdoptStoreValues();

protected:
    // Creates a variable of this section. type is "Bool", "Int", "Float" or "Double"; only
    // saveable variables take part in the driver's saved settings and its Dirty flag.
    TShareVarBase* Add(const std::string& varName, const std::string& type, int count = 1,
                       bool saveable = false, tk::TNotifyEvent onChange = {});
    // Creates a variable of another section.
    TShareVarBase* AddIn(const std::string& secName, const std::string& varName,
                         const std::string& type, int count = 1, bool saveable = false,
                         tk::TNotifyEvent onChange = {});

private:
    std::string itsSecName;
    std::unique_ptr<TShareVarPoly> itsShareVarPoly;
};
