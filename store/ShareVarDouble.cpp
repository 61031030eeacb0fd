#include "store/ShareVarDouble.h"

#include "toolkit/IniFiles.h"

#include <charconv>
#include <iterator>

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

// Fifteen digits do not carry every double (1/3, 1e17 + 16, the largest): where they read back as
// another value, or not at all, the shortest text that reads back exactly is written instead.
void TShareVarDouble::SaveIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    const double value = GetValueDouble();
    ini->WriteFloat(GetSecName(), key, value);
    double stored = 0;
    if (!ReadIniFloat(ini, key, stored) || stored != value) {
        char text[32];
        const auto end =
            std::to_chars(std::begin(text), std::end(text), value, std::chars_format::general).ptr;
        ini->WriteString(GetSecName(), key, std::string(text, end));
    }
}

void TShareVarDouble::LoadIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    SetValueDouble(ini->ReadFloat(GetSecName(), key, GetValueDouble()));
}

// A missing key, or a text that is no number, differs.
int TShareVarDouble::TestIni(tk::TMemIniFile* ini) {
    const std::string key = GetVarName() + GetVarType() + std::to_string(GetVarCount());
    const double current = GetValueDouble();
    double stored = 0;
    if (!ReadIniFloat(ini, key, stored)) {
        return 1;
    }
    return FloatDiffers(stored, current);
}
