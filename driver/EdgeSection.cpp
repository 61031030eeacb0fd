#include "driver/EdgeSection.h"

EdgeSection::EdgeSection()
    : DriverSection("Edge"), itsTopGain(Add("TopGain", "Float", 1, true)),
      itsBottomGain(Add("BottomGain", "Float", 1, true)),
      itsLeftGain(Add("LeftGain", "Float", 1, true)),
      itsRightGain(Add("RightGain", "Float", 1, true)) {}

void EdgeSection::OnStart(const std::string& /*iniPath*/) {
    itsTopGain->SetValueFloat(kDefaultTopLeftGain);
    itsBottomGain->SetValueFloat(kDefaultBottomRightGain);
    itsLeftGain->SetValueFloat(kDefaultTopLeftGain);
    itsRightGain->SetValueFloat(kDefaultBottomRightGain);
}
