#include "store/ShareVarPoly.h"

#include "store/ShareVarBool.h"
#include "store/ShareVarDouble.h"
#include "store/ShareVarFloat.h"
#include "store/ShareVarInt.h"

#include <algorithm>

TShareVarPoly::TShareVarPoly(tk::TComponent* AOwner) : tk::TComponent(AOwner) {}

TShareVarPoly::~TShareVarPoly() {
    // In creation order; each variable unregisters itself from the manager as it goes.
    while (!itsList.empty()) {
        TShareVarBase* variable = itsList.front();
        itsList.erase(itsList.begin());
        delete variable;
    }
}

TShareVarBase* TShareVarPoly::AddItem(const std::string& SecName, const std::string& VarName,
                                      const std::string& VarType, int VarCount,
                                      tk::TNotifyEvent OnChange, tk::TNotifyEvent OnPoll,
                                      bool Saveable) {
    TShareVarBase* variable = nullptr;
    if (VarType == "Bool") {
        variable = new TShareVarBool(this);
    } else if (VarType == "Int") {
        variable = new TShareVarInt(this);
    } else if (VarType == "Double") {
        variable = new TShareVarDouble(this);
    } else if (VarType == "Float") {
        variable = new TShareVarFloat(this);
    } else {
        return nullptr;
    }
    variable->SetSecName(SecName);
    variable->SetVarName(VarName);
    variable->SetVarCount(VarCount);
    variable->OnChange = std::move(OnChange);
    variable->OnPoll = std::move(OnPoll);
    variable->SetSaveable(Saveable);
    itsList.push_back(variable);
    return variable;
}

TShareVarBase* TShareVarPoly::GetVar(int index) const {
    if (index < 0 || index >= GetCount()) {
        return nullptr;
    }
    return itsList[static_cast<std::size_t>(index)];
}

// A variable deleted by someone else leaves the list, so it is never deleted twice.
void TShareVarPoly::ComponentRemoved(tk::TComponent* component) {
    itsList.erase(std::remove(itsList.begin(), itsList.end(), component), itsList.end());
}
