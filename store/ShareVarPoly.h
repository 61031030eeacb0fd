// The variable set of a page or component: creates shared variables from a type name, keeps
// them, and deletes them (in creation order) when it is deleted.
//
// Usage, in a page's constructor (before the store is activated on the first tick):
//
//     itsVars = new TShareVarPoly(this);
//     itsRatio = itsVars->AddItem("Sense", "PressRatio", "Float", 1,
//                                 tk::Bind(this, &TPage::PressRatioChange), // OnChange, or {}
//                                 nullptr,                                  // OnPoll
//                                 true);                                    // saveable
//     float r = itsRatio->GetValueFloat();       // read element 0 (GetValueFloatA(i): element i)
//     itsRatio->SetValueFloat(0.25f);            // write and announce: OnChange in every process
//     itsRatio->SetValueFloatX(0.25f);           // silent write: no OnChange anywhere
//     bool driverPresent = itsRatio->GetMasterCount() > 0;
//
// Type names are "Bool", "Int", "Float" and "Double" (exactly); anything else returns null.
// Events run on the user-interface thread, one poll after the write. Event fields can also be
// set later: itsRatio->OnChange = tk::Bind(this, &TPage::PressRatioChange);
#pragma once

#include "store/ShareVarBase.h"
#include "toolkit/Classes.h"

#include <string>
#include <vector>

class TShareVarPoly : public tk::TComponent {
public:
    explicit TShareVarPoly(tk::TComponent* AOwner);
    ~TShareVarPoly() override;

    TShareVarBase* AddItem(const std::string& SecName, const std::string& VarName,
                           const std::string& VarType, int VarCount, tk::TNotifyEvent OnChange,
                           tk::TNotifyEvent OnPoll, bool Saveable);
    // The index-th created variable; null outside 0..Count-1.
    TShareVarBase* GetVar(int index) const;
    int GetCount() const { return static_cast<int>(itsList.size()); }

protected:
    void ComponentRemoved(tk::TComponent* component) override;

private:
    std::vector<TShareVarBase*> itsList;
};
