#include "control/KXB3_Mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct MappingRow {
    const char* Name;
    float InStart, InEnd, OutStart, OutEnd; // variable -> position
};

// Every way the pages map a variable to a track bar; writing back uses the reverse map.
const MappingRow kRows[] = {
    {"top and left gain", 0, 2, 100, 0},
    {"bottom and right gain", 0, 2, 0, 100},
    {"line smoothing", 0, 1, 0, 100},
    {"activation threshold", 0, 1, 0, 100},
};

int PositionOf(const MappingRow& row, float value) {
    return FloorPosition(MapRange(value, row.InStart, row.InEnd, row.OutStart, row.OutEnd));
}

float ValueFor(const MappingRow& row, int position) {
    return MapRange(CentrePosition(position), row.OutStart, row.OutEnd, row.InStart, row.InEnd);
}

} // namespace

TEST(ValueMapping, EveryPositionRoundTripsForEveryRow) {
    for (const MappingRow& row : kRows) {
        for (int p = 0; p <= 100; ++p)
            EXPECT_EQ(PositionOf(row, ValueFor(row, p)), p) << row.Name << " position " << p;
    }
}

TEST(ValueMapping, SinglePrecisionDecidesThePosition) {
    const float g = 0.02f;
    EXPECT_EQ(FloorPosition(MapRange(g, 0, 2, 0, 100)), 1); // the unrounded 0.99999998 floors to 0
    EXPECT_EQ(FloorPosition(MapRange(g, 0, 2, 100, 0)), 99);
    EXPECT_FLOAT_EQ(MapRange(0.3f, 0, 1, 0, 100), 30.000001f);
    EXPECT_EQ(FloorPosition(MapRange(0.3f, 0, 1, 0, 100)), 30);
    EXPECT_EQ(MapRange(CentrePosition(30), 0, 100, 0, 1), 0.305f);
}

TEST(ValueMapping, ValuesOutsideTheRangeAreNotClamped) {
    EXPECT_EQ(FloorPosition(MapRange(2.5f, 0, 2, 100, 0)), -25);
    EXPECT_EQ(FloorPosition(MapRange(2.5f, 0, 2, 0, 100)), 125);
    EXPECT_EQ(FloorPosition(MapRange(-0.5f, 0, 2, 100, 0)), 125);
    EXPECT_EQ(FloorPosition(MapRange(-0.5f, 0, 2, 0, 100)), -25);
}

TEST(ValueMapping, NarrowInputSpanGivesTheStartOfTheOutput) {
    for (float x : {-10.0f, 0.0f, 1.0f, 1.004f, 50.0f})
        EXPECT_EQ(MapRange(x, 1, 1.005f, 7, 5), 7.0f);
    // A span of exactly 0.01 still maps.
    EXPECT_EQ(MapRange(0.01f, 0, 0.01f, 0, 100), 100.0f);
}

TEST(ValueMapping, FloorAndCentreOfNegativePositions) {
    EXPECT_EQ(CentrePosition(-3), -2.5f);
    EXPECT_EQ(FloorPosition(-2.5f), -3);
    EXPECT_EQ(CentrePosition(0), 0.5f);
}

TEST(ValueMapping, UnrepresentableFloorsStayInRange) {
    EXPECT_EQ(FloorPosition(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(FloorPosition(std::numeric_limits<float>::infinity()),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(FloorPosition(-1e20f), std::numeric_limits<int32_t>::min());
}
