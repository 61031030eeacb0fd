#include "store/ShareVarBool.h"

#include "toolkit/IniFiles.h"

#include <cstdint>

TShareVarBool::TShareVarBool(tk::TComponent* AOwner) : TShareVarBase(AOwner) {
    SetVarCount(1); // size the local buffer with this class's element size
}

TShareVarBool::~TShareVarBool() = default;

std::string TShareVarBool::GetVarType() const {
    return "Boo";
}

int TShareVarBool::SizeOfValue() const {
    return 1;
}

void TShareVarBool::ClearPendingWrite() {
    FlushPendingWrite();
}

bool TShareVarBool::GetValueBoolA(int index) {
    std::uint8_t value = 0;
    ReadElement(index, &value);
    return value != 0;
}

void TShareVarBool::SetValueBoolA(int index, bool value) {
    const std::uint8_t byte = value ? 1 : 0;
    WriteElement(index, &byte, true);
}

void TShareVarBool::SetValueBoolXA(int index, bool value) {
    const std::uint8_t byte = value ? 1 : 0;
    WriteElement(index, &byte, false);
}

void TShareVarBool::SaveIni(tk::TMemIniFile* ini) {
    ini->WriteBool(GetSecName(), GetVarName() + GetVarType() + std::to_string(GetVarCount()),
                   GetValueBool());
}

void TShareVarBool::LoadIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    SetValueBool(ini->ReadBool(GetSecName(), key, GetValueBool()));
}

int TShareVarBool::TestIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    const bool current = GetValueBool();
    return ini->ReadBool(GetSecName(), key, !current) != current ? 1 : 0;
}
