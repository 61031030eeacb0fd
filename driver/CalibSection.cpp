#include "driver/CalibSection.h"

#include "toolkit/IniFiles.h"

#include <algorithm>
#include <iostream>
#include <sys/stat.h>

namespace {

constexpr int kTargets = 3;
constexpr const char* kRefNames[6] = {"Ref_TL_X", "Ref_TL_Y", "Ref_TR_X",
                                      "Ref_TR_Y", "Ref_BL_X", "Ref_BL_Y"};
constexpr float kRefValues[6] = {CalibSection::kNear, CalibSection::kNear, CalibSection::kFar,
                                 CalibSection::kNear, CalibSection::kNear, CalibSection::kFar};

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// The file that holds the stored calibration, beside the driver's INI file.
std::string CalibrationPath(const std::string& iniPath) {
    const size_t slash = iniPath.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string() : iniPath.substr(0, slash + 1);
    return dir + "QUILBEX_Calibration.ini";
}

} // namespace

CalibSection::CalibSection(TShareVarBase* lockCalibrate, bool askForCalibration)
    : DriverSection("Calib"), itsLockCalibrate(lockCalibrate),
      itsAskForCalibration(askForCalibration) {
    for (int i = 0; i < 4; ++i)
        itsCount[i] = Add("Count" + std::to_string(i), "Int");
    Add("State", "Int");
    Add("TargetPos", "Float");
    itsStart = Add("Start", "Bool");
    itsCancel = Add("Cancel", "Bool");
    itsBusy = Add("Busy", "Bool");
    for (int i = 0; i < 6; ++i)
        itsRef[i] = AddIn("Calibrate", kRefNames[i], "Float");
}

void CalibSection::OnStart(const std::string& iniPath) {
    itsCalibrationPath = CalibrationPath(iniPath);
    itsCalibrated = FileExists(itsCalibrationPath);
    for (int i = 0; i < 6; ++i)
        itsRef[i]->SetValueFloat(kRefValues[i]);
}

void CalibSection::LiveTick(std::uint32_t /*nowMs*/) {
    if (itsStart->GetValueBool()) {
        itsStart->SetValueBool(false);
        BeginRun();
    }
    if (itsCancel->GetValueBool()) {
        itsCancel->SetValueBool(false);
        if (itsRunning)
            EndRun();
    }
    if (itsRunning) {
        Advance();
        return;
    }
    // The control panel clears the lock when it starts and when it leaves, so it is asked for
    // again for as long as no calibration is stored.
    if (itsAskForCalibration && !itsCalibrated && itsLockCalibrate->GetValueInt() != 1)
        itsLockCalibrate->SetValueInt(1);
}

// A start while a run is under way begins it again from the first target.
void CalibSection::BeginRun() {
    itsRunning = true;
    itsTarget = 0;
    itsProgress = 0;
    itsWait = kWaitTicks;
    itsBusy->SetValueBool(true);
    for (int i = 0; i < 4; ++i)
        itsCount[i]->SetValueInt(-1);
    itsCount[0]->SetValueInt(0);
}

void CalibSection::EndRun() {
    itsRunning = false;
    for (int i = 0; i < 4; ++i)
        itsCount[i]->SetValueInt(-1);
    itsBusy->SetValueBool(false);
}

// One tick of the simulated touch-and-hold: wait for the finger, then count the hold up to 100;
// a finished target hides and the next one appears.
void CalibSection::Advance() {
    if (itsWait > 0) {
        --itsWait;
        return;
    }
    if (itsProgress < 100) {
        itsProgress = std::min(itsProgress + kStep, 100);
        itsCount[itsTarget]->SetValueInt(itsProgress);
        return;
    }
    itsCount[itsTarget]->SetValueInt(-1);
    if (++itsTarget < kTargets) {
        itsProgress = 0;
        itsWait = kWaitTicks;
        itsCount[itsTarget]->SetValueInt(0);
        return;
    }
    EndRun();
    StoreCalibration();
    itsLockCalibrate->SetValueInt(0);
}

// The simulated finger touches each target exactly, so the stored points are the references.
void CalibSection::StoreCalibration() {
    itsCalibrated = true;
    if (itsCalibrationPath.empty())
        return;
    try {
        tk::TMemIniFile ini(itsCalibrationPath);
        for (int i = 0; i < 6; ++i)
            ini.WriteFloat("Calibration", kRefNames[i], itsRef[i]->GetValueFloat());
        ini.UpdateFile();
    } catch (const std::exception& e) {
        std::cerr << "QUILBEX_Driver: cannot store the calibration: " << DescribeFailure(e) << '\n';
    }
}
