// Section "Status": the command counters the control panel increments, the presence anchor and
// the driver's state. The driver acts on the counters (driver/Driver.cpp).
#pragma once

#include "driver/DriverSection.h"

class StatusSection : public DriverSection {
public:
    StatusSection();

    TShareVarBase* itsSave;
    TShareVarBase* itsLoad;
    TShareVarBase* itsTerminate;
    TShareVarBase* itsReset;
    TShareVarBase* itsHeartBeat;
    TShareVarBase* itsDirty;
    TShareVarBase* itsLogRecord;
    TShareVarBase* itsLogPlay;
    TShareVarBase* itsLogStop;
    TShareVarBase* itsLockCalibrate;
};

// Section "Test": the two Float variables the control panel's main form creates.
class TestSection : public DriverSection {
public:
    TestSection();
};
