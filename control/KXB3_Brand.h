// The brand record: product data compiled into the control panel, one row per brand. The row
// in use is the first whose file-name prefix matches the start of the program's own file name.
#pragma once

#include <string>

constexpr int BrandFieldCount = 33;

// Field numbers of the fields the control panel reads.
enum TBrandField : int {
    bfExePrefix = 0,
    bfDriverFile = 1,
    bfControlFile = 2,
    bfIniFile = 3,
    bfProductWord = 8,
    bfProductVersion = 9,
    bfMakerName = 10,
    bfAboutLine2 = 11,
    bfMainCaption = 25,
    bfManualFile = 26,
    bfLicenseFile = 27,
    bfDriverName = 28,
    bfControlName = 29,
};

struct TBrandRecord {
    const char* Field[BrandFieldCount];
};

extern const TBrandRecord BrandTable[];
extern const int BrandTableCount;

// Row of table whose prefix (field 0) equals the start of fileName, ignoring letter case; the
// first matching row wins, and row 0 when none matches. fileName is a name without directory.
int BrandLookup(const TBrandRecord* table, int rowCount, const std::string& fileName);
int BrandLookup(const std::string& fileName);

// Field n of row i of BrandTable; "" for a row or field that does not exist.
std::string BrandField(int row, int field);
