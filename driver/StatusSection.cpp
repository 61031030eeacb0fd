#include "driver/StatusSection.h"

StatusSection::StatusSection()
    : DriverSection("Status"), itsSave(Add("Save", "Int")), itsLoad(Add("Load", "Int")),
      itsTerminate(Add("Terminate", "Int")), itsReset(Add("Reset", "Int")),
      itsHeartBeat(Add("HeartBeat", "Int")), itsDirty(Add("Dirty", "Bool")),
      itsLogRecord(Add("LogRecord", "Int")), itsLogPlay(Add("LogPlay", "Int")),
      itsLogStop(Add("LogStop", "Int")), itsLockCalibrate(Add("LockCalibrate", "Int")) {}

TestSection::TestSection() : DriverSection("Test") {
    Add("X", "Float");
    Add("Y", "Float");
}
