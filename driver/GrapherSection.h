// Sections "Grapher0" and "Grapher1": the two sensor graphs. Live, the driver writes a row of
// sensor differences a few times a second: small noise with a bump under the simulated finger
// (graph 0 across the screen, graph 1 down it), always the values of "Diff" before "Length".
#pragma once

#include "driver/DriverSection.h"

#include <cstdint>
#include <random>

class GrapherSection : public DriverSection {
public:
    static constexpr int kDiffCount = 66;
    static constexpr int kSensors = 32;
    static constexpr std::uint32_t kEveryMs = 200;

    explicit GrapherSection(int index);

    void LiveTick(std::uint32_t nowMs) override;

private:
    void WriteRow(std::uint32_t nowMs);

    int itsIndex;
    TShareVarBase* itsLength;
    TShareVarBase* itsDiff;
    std::minstd_rand itsNoise;
    bool itsWritten = false;
    std::uint32_t itsLastMs = 0;
};
