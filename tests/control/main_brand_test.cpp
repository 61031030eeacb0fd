#include "control/KXB3_Brand.h"

#include <gtest/gtest.h>

TEST(BrandRecord, TheOneRowHoldsItsFixedFields) {
    ASSERT_EQ(BrandTableCount, 1);
    EXPECT_EQ(BrandField(0, bfDriverFile), "QUILBEX_Driver.exe");
    EXPECT_EQ(BrandField(0, bfIniFile), "QUILBEX.INI");
    EXPECT_EQ(BrandField(0, bfMainCaption), "Touchscreen Control Panel");
    EXPECT_EQ(BrandField(0, bfControlName), "QUILBEX_Control");
    EXPECT_EQ(BrandField(0, bfManualFile), "User Manual.pdf");
    EXPECT_EQ(BrandField(0, bfLicenseFile), "License.txt");
    EXPECT_EQ(BrandField(0, 32), "QUILBEX.DEF");
    for (int field = 0; field < BrandFieldCount; ++field)
        EXPECT_NE(BrandTable[0].Field[field], nullptr) << field;
    for (int field : {10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21})
        EXPECT_FALSE(BrandField(0, field).empty()) << "maker's field " << field;
    EXPECT_EQ(BrandField(1, 0), "");
    EXPECT_EQ(BrandField(0, BrandFieldCount), "");
}

TEST(BrandRecord, LookupByProgramFileName) {
    EXPECT_EQ(BrandLookup("Quilbex_Control"), 0);
    EXPECT_EQ(BrandLookup("qUiLBEX_CONTROL.EXE"), 0);
    EXPECT_EQ(BrandLookup("SomethingElse"), 0); // default row
    EXPECT_EQ(BrandLookup(""), 0);
}

TEST(BrandRecord, FirstMatchingRowWinsAndShortNamesDoNotMatch) {
    auto row = [](const char* prefix) {
        TBrandRecord r{};
        for (auto& f : r.Field)
            f = "";
        r.Field[bfExePrefix] = prefix;
        return r;
    };
    const TBrandRecord table[] = {row("ABC"), row("QU"), row("QUI")};
    EXPECT_EQ(BrandLookup(table, 3, "quilbex.exe"), 1); // "QU" comes before the longer "QUI"
    EXPECT_EQ(BrandLookup(table, 3, "Q"), 0);           // shorter than every prefix: default
    EXPECT_EQ(BrandLookup(table, 3, "abcdef"), 0);
    const TBrandRecord withEmpty[] = {row("XYZ"), row("")};
    EXPECT_EQ(BrandLookup(withEmpty, 2, "anything"), 1); // an empty prefix matches every name
    EXPECT_EQ(BrandLookup(withEmpty, 2, ""), 1);
}
