#include "driver/DriverSection.h"

#include "store/ShareVarPoly.h"

#include <new>

std::string DescribeFailure(const std::exception& e) {
    return dynamic_cast<const std::bad_alloc*>(&e) != nullptr ? "not enough memory" : e.what();
}

DriverSection::DriverSection(std::string secName)
    : itsSecName(std::move(secName)), itsShareVarPoly(std::make_unique<TShareVarPoly>(nullptr)) {}

DriverSection::~DriverSection() = default;

TShareVarBase* DriverSection::Find(const std::string& secName, const std::string& varName) const {
    for (int i = 0; i < itsShareVarPoly->GetCount(); ++i) {
        TShareVarBase* var = itsShareVarPoly->GetVar(i);
        if (var != nullptr && var->GetSecName() == secName && var->GetVarName() == varName)
            return var;
    }
    return nullptr;
}

void DriverSection::AdoptStoreValues() {
    for (int i = 0; i < itsShareVarPoly->GetCount(); ++i) {
        TShareVarBase* var = itsShareVarPoly->GetVar(i);
        const std::string type = var->GetVarType();
        for (int e = 0; e < var->GetVarCount(); ++e) {
            if (type == "Boo")
                var->GetValueBoolA(e);
            else if (type == "Int")
                var->GetValueIntA(e);
            else if (type == "Flo")
                var->GetValueFloatA(e);
            else
                var->GetValueDoubleA(e);
        }
    }
}

TShareVarBase* DriverSection::Add(const std::string& varName, const std::string& type, int count,
                                  bool saveable, tk::TNotifyEvent onChange) {
    return AddIn(itsSecName, varName, type, count, saveable, std::move(onChange));
}

TShareVarBase* DriverSection::AddIn(const std::string& secName, const std::string& varName,
                                    const std::string& type, int count, bool saveable,
                                    tk::TNotifyEvent onChange) {
    return itsShareVarPoly->AddItem(secName, varName, type, count, std::move(onChange), {},
                                    saveable);
}
