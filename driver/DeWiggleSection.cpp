#include "driver/DeWiggleSection.h"

DeWiggleSection::DeWiggleSection()
    : DriverSection("DeWiggle"), itsInner(Add("Inner", "Float", 1, true)),
      itsOuter(Add("Outer", "Float", 1, true)), itsAdvanced(Add("Advanced", "Bool", 1, true)) {}

void DeWiggleSection::OnStart(const std::string& /*iniPath*/) {
    itsInner->SetValueFloat(kDefaultInner);
    itsOuter->SetValueFloat(kDefaultOuter);
    itsAdvanced->SetValueBool(false);
}
