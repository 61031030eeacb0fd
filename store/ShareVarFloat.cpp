#include "store/ShareVarFloat.h"

#include "toolkit/IniFiles.h"

TShareVarFloat::TShareVarFloat(tk::TComponent* AOwner) : TShareVarBase(AOwner) {
    SetVarCount(1); // size the local buffer with this class's element size
}

TShareVarFloat::~TShareVarFloat() = default;

std::string TShareVarFloat::GetVarType() const {
    return "Flo";
}

int TShareVarFloat::SizeOfValue() const {
    return 4;
}

void TShareVarFloat::ClearPendingWrite() {
    FlushPendingWrite();
}

float TShareVarFloat::GetValueFloatA(int index) {
    float value = 0;
    ReadElement(index, &value);
    return value;
}

void TShareVarFloat::SetValueFloatA(int index, float value) {
    WriteElement(index, &value, true);
}

void TShareVarFloat::SetValueFloatXA(int index, float value) {
    WriteElement(index, &value, false);
}

void TShareVarFloat::SaveIni(tk::TMemIniFile* ini) {
    ini->WriteFloat(GetSecName(), GetVarName() + GetVarType() + std::to_string(GetVarCount()),
                    GetValueFloat());
}

void TShareVarFloat::LoadIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    SetValueFloat(static_cast<float>(ini->ReadFloat(GetSecName(), key, GetValueFloat())));
}

// A missing key, or a text that is no number, differs. The saved text holds 15 digits of the
// value widened to double; they narrow back to exactly this value, as LoadIni narrows them, but
// compared widened they would differ from a large value by more than the tolerance.
int TShareVarFloat::TestIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    const float current = GetValueFloat();
    double stored = 0;
    if (!ReadIniFloat(ini, key, stored)) {
        return 1;
    }
    if (static_cast<float>(stored) == current) {
        return 0;
    }
    return FloatDiffers(stored, current);
}
