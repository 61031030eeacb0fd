// Shared variable of type Bool: type tag "Boo", 1-byte elements (one byte, 0 false and 1 true).
#pragma once

#include "store/ShareVarBase.h"

class TShareVarBool : public TShareVarBase {
public:
    explicit TShareVarBool(tk::TComponent* AOwner);
    ~TShareVarBool() override;

    void LoadIni(tk::TMemIniFile* ini) override;
    void SaveIni(tk::TMemIniFile* ini) override;
    int TestIni(tk::TMemIniFile* ini) override;
    std::string GetVarType() const override;
    int SizeOfValue() const override;
    void ClearPendingWrite() override;

    bool GetValueBoolA(int index) override;
    void SetValueBoolA(int index, bool value) override;
    void SetValueBoolXA(int index, bool value) override;
};
