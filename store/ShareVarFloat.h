// Shared variable of type Float: type tag "Flo", 4-byte elements (IEEE 754 single precision,
// little-endian).
#pragma once

#include "store/ShareVarBase.h"

class TShareVarFloat : public TShareVarBase {
public:
    explicit TShareVarFloat(tk::TComponent* AOwner);
    ~TShareVarFloat() override;

    void LoadIni(tk::TMemIniFile* ini) override;
    void SaveIni(tk::TMemIniFile* ini) override;
    int TestIni(tk::TMemIniFile* ini) override;
    std::string GetVarType() const override;
    int SizeOfValue() const override;
    void ClearPendingWrite() override;

    float GetValueFloatA(int index) override;
    void SetValueFloatA(int index, float value) override;
    void SetValueFloatXA(int index, float value) override;
};
