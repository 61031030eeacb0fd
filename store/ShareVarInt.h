// Shared variable of type Int: type tag "Int", 4-byte elements (32-bit signed, little-endian).
#pragma once

#include "store/ShareVarBase.h"

class TShareVarInt : public TShareVarBase {
public:
    explicit TShareVarInt(tk::TComponent* AOwner);
    ~TShareVarInt() override;

    void LoadIni(tk::TMemIniFile* ini) override;
    void SaveIni(tk::TMemIniFile* ini) override;
    int TestIni(tk::TMemIniFile* ini) override;
    std::string GetVarType() const override;
    int SizeOfValue() const override;
    void ClearPendingWrite() override;

    int GetValueIntA(int index) override;
    void SetValueIntA(int index, int value) override;
    void SetValueIntXA(int index, int value) override;
};
