#include "store/ShareVarInt.h"

#include "toolkit/IniFiles.h"

#include <cstdint>

TShareVarInt::TShareVarInt(tk::TComponent* AOwner) : TShareVarBase(AOwner) {
    SetVarCount(1); // size the local buffer with this class's element size
}

TShareVarInt::~TShareVarInt() = default;

std::string TShareVarInt::GetVarType() const {
    return "Int";
}

int TShareVarInt::SizeOfValue() const {
    return 4;
}

void TShareVarInt::ClearPendingWrite() {
    FlushPendingWrite();
}

int TShareVarInt::GetValueIntA(int index) {
    std::int32_t value = 0;
    ReadElement(index, &value);
    return value;
}

void TShareVarInt::SetValueIntA(int index, int value) {
    const std::int32_t element = value;
    WriteElement(index, &element, true);
}

void TShareVarInt::SetValueIntXA(int index, int value) {
    const std::int32_t element = value;
    WriteElement(index, &element, false);
}

void TShareVarInt::SaveIni(tk::TMemIniFile* ini) {
    ini->WriteInteger(GetSecName(), GetVarName() + GetVarType() + std::to_string(GetVarCount()),
                      GetValueInt());
}

void TShareVarInt::LoadIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    SetValueInt(ini->ReadInteger(GetSecName(), key, GetValueInt()));
}

int TShareVarInt::TestIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    const int current = GetValueInt();
    // current + 1, wrapping like the 32-bit value it is
    const auto differing = static_cast<int>(static_cast<std::uint32_t>(current) + 1U);
    return ini->ReadInteger(GetSecName(), key, differing) != current ? 1 : 0;
}
