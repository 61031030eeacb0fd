#include "store/ShareVarDouble.h"

#include "toolkit/IniFiles.h"

#include <cmath>

TShareVarDouble::TShareVarDouble(tk::TComponent* AOwner) : TShareVarBase(AOwner) {
    SetVarCount(1); // size the local buffer with this class's element size
}

TShareVarDouble::~TShareVarDouble() = default;

std::string TShareVarDouble::GetVarType() const {
    return "Dou";
}

int TShareVarDouble::SizeOfValue() const {
    return 8;
}

void TShareVarDouble::ClearPendingWrite() {
    FlushPendingWrite();
}

double TShareVarDouble::GetValueDoubleA(int index) {
    double value = 0;
    ReadElement(index, &value);
    return value;
}

void TShareVarDouble::SetValueDoubleA(int index, double value) {
    WriteElement(index, &value, true);
}

void TShareVarDouble::SetValueDoubleXA(int index, double value) {
    WriteElement(index, &value, false);
}

void TShareVarDouble::SaveIni(tk::TMemIniFile* ini) {
    ini->WriteFloat(GetSecName(), GetVarName() + GetVarType() + std::to_string(GetVarCount()),
                    GetValueDouble());
}

void TShareVarDouble::LoadIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    SetValueDouble(ini->ReadFloat(GetSecName(), key, GetValueDouble()));
}

int TShareVarDouble::TestIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    const double current = GetValueDouble();
    const double stored = ini->ReadFloat(GetSecName(), key, current + 1.0);
    return std::fabs(stored - current) >= 0.01 ? 1 : 0;
}
