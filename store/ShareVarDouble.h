// Shared variable of type Double: type tag "Dou", 8-byte elements (IEEE 754 double precision,
// little-endian).
#pragma once

#include "store/ShareVarBase.h"

class TShareVarDouble : public TShareVarBase {
public:
    explicit TShareVarDouble(tk::TComponent* AOwner);
    ~TShareVarDouble() override;

    void LoadIni(tk::TMemIniFile* ini) override;
    void SaveIni(tk::TMemIniFile* ini) override;
    int TestIni(tk::TMemIniFile* ini) override;
    std::string GetVarType() const override;
    int SizeOfValue() const override;
    void ClearPendingWrite() override;

    double GetValueDoubleA(int index) override;
    void SetValueDoubleA(int index, double value) override;
    void SetValueDoubleXA(int index, double value) override;
};
