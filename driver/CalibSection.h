// Sections "Calib" and "Calibrate": the calibration run.
//
// The driver writes the reference fractions of the three targets when it starts. Live, a
// "Start" begins a run: "Busy" goes true and the targets are touched and held one after the
// other, their counts "Count0" to "Count2" going from 0 to 100; then "Busy" goes false, the
// calibration is stored in a file beside the driver's INI file and "LockCalibrate" is cleared.
// "Cancel" ends a run at once, storing nothing. The driver resets "Start" and "Cancel" itself.
// A live driver started without a stored calibration asks for one by holding "LockCalibrate"
// at 1 whenever no run is under way.
#pragma once

#include "driver/DriverSection.h"

#include <cstdint>
#include <string>

class CalibSection : public DriverSection {
public:
    // Where the three targets sit, as fractions of the screen's width and height.
    static constexpr float kNear = 0.1f;
    static constexpr float kFar = 0.9f;
    // Progress per 50 ms tick while a target is held, and the wait before each hold.
    static constexpr int kStep = 2;
    static constexpr int kWaitTicks = 12;

    // lockCalibrate: "LockCalibrate" of section "Status"; askForCalibration: whether this
    // driver asks for a calibration when none is stored (a live start, not a scripted one).
    CalibSection(TShareVarBase* lockCalibrate, bool askForCalibration);

    void OnStart(const std::string& iniPath) override;
    void LiveTick(std::uint32_t nowMs) override;

private:
    void BeginRun();
    void EndRun();
    void Advance();
    void StoreCalibration();

    TShareVarBase* itsLockCalibrate;
    bool itsAskForCalibration;
    TShareVarBase* itsCount[4];
    TShareVarBase* itsStart;
    TShareVarBase* itsCancel;
    TShareVarBase* itsBusy;
    TShareVarBase* itsRef[6];
    std::string itsCalibrationPath;
    bool itsCalibrated = false;
    bool itsRunning = false;
    int itsTarget = 0;   // the target being held, 0 to 2
    int itsProgress = 0; // its count
    int itsWait = 0;     // ticks left before the hold begins
};
