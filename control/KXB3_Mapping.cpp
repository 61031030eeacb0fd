#include "control/KXB3_Mapping.h"

#include <cmath>
#include <limits>

float MapRange(float value, float inStart, float inEnd, float outStart, float outEnd) {
    const double span = static_cast<double>(inEnd) - static_cast<double>(inStart);
    // The threshold is the single-precision 0.01, so a span of exactly that value still maps.
    if (std::fabs(span) < static_cast<double>(0.01f))
        return outStart;
    const float slope = static_cast<float>((static_cast<double>(outEnd) - outStart) / span);
    const double mapped = outStart + (static_cast<double>(value) - inStart) * slope;
    return static_cast<float>(mapped);
}

int32_t FloorPosition(float x) {
    if (std::isnan(x))
        return 0;
    const double floored = std::floor(static_cast<double>(x));
    if (floored >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (floored <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(floored);
}

float CentrePosition(int32_t p) {
    return static_cast<float>(static_cast<double>(p) + 0.5);
}
