#include "driver/VersionSection.h"

#include "toolkit/IniFiles.h"

#include <iostream>

VersionSection::VersionSection() : DriverSection("Comm") {
    for (int port = 1; port <= 8; ++port)
        itsFlags[port - 1] = Add("AutoDetectCom" + std::to_string(port), "Bool");
    itsFlags[8] = Add("AutoDetectUSB", "Bool");
}

// Records the version beside the saved settings; the rest of the file stays as it is.
void VersionSection::OnStart(const std::string& iniPath) {
    try {
        tk::TMemIniFile ini(iniPath);
        ini.WriteString("Product", "Version", kVersion);
        ini.UpdateFile();
    } catch (const std::exception& e) {
        std::cerr << "QUILBEX_Driver: cannot write the version: " << DescribeFailure(e) << '\n';
    }
}

void VersionSection::LiveTick(uint32_t /*nowMs*/) {
    if (itsFlagsWritten)
        return;
    itsFlagsWritten = true;
    for (TShareVarBase* flag : itsFlags)
        flag->SetValueBool(true);
}
