// Drawing steps shared by the display components.
#pragma once

#include "toolkit/Graphics.h"
#include "toolkit/Strings.h"

namespace quilbex {

// Draws the lines as one block centred on (cx, cy), with the canvas's current font and brush.
// An empty line is measured and drawn as a single blank, so it keeps a line's height and the
// gap shows in the block.
void DrawCentredLines(tk::TCanvas* canvas, const tk::TStrings* lines, int cx, int cy);

// Truncates a pixel coordinate toward zero. Values from the store can be anything (infinite,
// not a number, far outside the face); those land on a coordinate well outside every face
// instead of overflowing the integer conversion, so they are clipped like any off-face value.
int TruncPixel(long double v);

} // namespace quilbex
