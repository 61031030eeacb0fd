#include "components/DrawHelpers.h"

#include <cmath>

namespace quilbex {

namespace {

// Far enough outside any face to be clipped, small enough for the canvas to walk cheaply.
constexpr long double kFarOff = 32768.0L;

const std::string& LineOrBlank(const std::string& line) {
    static const std::string blank = " ";
    return line.empty() ? blank : line;
}

} // namespace

void DrawCentredLines(tk::TCanvas* canvas, const tk::TStrings* lines, int cx, int cy) {
    int total = 0;
    for (const std::string& line : lines->Lines()) {
        total += canvas->TextHeight(LineOrBlank(line));
    }
    int y = cy - total / 2;
    for (const std::string& line : lines->Lines()) {
        const std::string& text = LineOrBlank(line);
        const tk::TSize size = canvas->TextExtent(text);
        canvas->TextOut(cx - size.cx / 2, y, text);
        y += size.cy;
    }
}

int TruncPixel(long double v) {
    if (std::isnan(v)) {
        return static_cast<int>(-kFarOff);
    }
    if (v < -kFarOff) {
        v = -kFarOff;
    } else if (v > kFarOff) {
        v = kFarOff;
    }
    return static_cast<int>(std::trunc(v));
}

} // namespace quilbex
