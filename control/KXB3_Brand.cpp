#include "control/KXB3_Brand.h"

#include <cctype>
#include <cstring>

const TBrandRecord BrandTable[] = {
    {{
        "QUI",                               // 0 exe-name prefix
        "QUILBEX_Driver.exe",                // 1 driver program file
        "QUILBEX_Control.exe",               // 2 control-panel program file
        "QUILBEX.INI",                       // 3 INI file with [Product] Version
        "",                                  // 4
        "RQ2840.LOG",                        // 5 log file
        "RQ2_CONTACT_BMP",                   // 6 contact bitmap resource
        "RQ2_HELP_BMP",                      // 7 help bitmap resource
        "QUILBEX",                           // 8 product word
        "1.0.4",                             // 9 product version
        "Tarnwick Display Controls Ltd",     // 10 maker, about form
        "",                                  // 11 second about line
        "Tarnwick Display Controls Ltd",     // 12 maker, contact block
        "Unit 4, Fernside Court",            // 13 street
        "Halbury",                           // 14 town
        "Westmoor",                          // 15 county
        "HB7 2QX",                           // 16 postal code
        "United Kingdom",                    // 17 country
        "+44 (0)1632 960418",                // 18 telephone
        "+44 (0)1632 960419",                // 19 fax
        "www.tarnwick-controls.example",     // 20 web address
        "support@tarnwick-controls.example", // 21 e-mail address
        "",                                  // 22
        "TRUE",                              // 23 text for true
        "FALSE",                             // 24 text for false
        "Touchscreen Control Panel",         // 25 main window caption
        "User Manual.pdf",                   // 26 user manual
        "License.txt",                       // 27 licence text
        "QUILBEX_Driver",                    // 28 driver name
        "QUILBEX_Control",                   // 29 control-panel name, application title
        "QUILBEX_HotKey.exe",                // 30 hot-key program file
        "QUILBEX_HotKey",                    // 31 hot-key program name
        "QUILBEX.DEF",                       // 32 definitions file
    }},
};

const int BrandTableCount = sizeof(BrandTable) / sizeof(BrandTable[0]);

namespace {

bool StartsWithIgnoringCase(const std::string& name, const char* prefix) {
    const size_t n = std::strlen(prefix);
    if (name.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(name[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b))
            return false;
    }
    return true;
}

} // namespace

int BrandLookup(const TBrandRecord* table, int rowCount, const std::string& fileName) {
    for (int i = 0; i < rowCount; ++i) {
        if (StartsWithIgnoringCase(fileName, table[i].Field[bfExePrefix]))
            return i;
    }
    return 0;
}

int BrandLookup(const std::string& fileName) {
    return BrandLookup(BrandTable, BrandTableCount, fileName);
}

std::string BrandField(int row, int field) {
    if (row < 0 || row >= BrandTableCount || field < 0 || field >= BrandFieldCount)
        return "";
    return BrandTable[row].Field[field];
}
