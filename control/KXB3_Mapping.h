// Conversion between the float value of a store variable and the integer position of a track bar.
//
// A page shows a variable as FloorPosition(MapRange(value, ...)) and writes position p back as
// MapRange(CentrePosition(p), ...) in the reverse direction. Position p stands for the interval
// [p, p + 1) of the scale and the value written for it is the interval's centre, so a value the
// page wrote itself maps back to the same position.
#pragma once

#include <cstdint>

// Maps value linearly from [inStart, inEnd] onto [outStart, outEnd] without clamping. An input
// span below 0.01 gives outStart. The slope is rounded to single precision; the rest is formed in
// double and rounded to single precision on return.
float MapRange(float value, float inStart, float inEnd, float outStart, float outEnd);

// The greatest integer not above x. A value that is not a number gives 0, and a floor outside the
// 32-bit range gives the nearest end of that range.
int32_t FloorPosition(float x);

// The value that position p stands for: p + 0.5.
float CentrePosition(int32_t p);
