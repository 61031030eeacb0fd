#include "driver/GrapherSection.h"

#include "driver/TouchSimulation.h"

#include <cmath>
#include <string>

namespace {

constexpr float kNoise = 4.0f;     // sensor noise, either way
constexpr float kBump = 320.0f;    // height of the bump under a touch
constexpr float kBumpWidth = 2.0f; // in sensors

} // namespace

GrapherSection::GrapherSection(int index)
    : DriverSection("Grapher" + std::to_string(index)), itsIndex(index),
      itsLength(Add("Length", "Int")), itsDiff(Add("Diff", "Float", kDiffCount)),
      itsNoise(static_cast<unsigned>(index) + 1) {}

void GrapherSection::LiveTick(std::uint32_t nowMs) {
    if (itsWritten && nowMs - itsLastMs < kEveryMs)
        return;
    itsWritten = true;
    itsLastMs = nowMs;
    WriteRow(nowMs);
}

// The values go in silently; the announced "Length" afterwards tells the panel a row is ready.
void GrapherSection::WriteRow(std::uint32_t nowMs) {
    const SimulatedTouch touch = SimulatedTouchAt(nowMs);
    const float centre = (itsIndex == 0 ? touch.X : touch.Y) * (kSensors - 1);
    std::uniform_real_distribution<float> noise(-kNoise, kNoise);
    for (int i = 0; i < kSensors; ++i) {
        float value = noise(itsNoise);
        if (touch.Pressed) {
            const float d = (static_cast<float>(i) - centre) / kBumpWidth;
            value += kBump * std::exp(-0.5f * d * d);
        }
        itsDiff->SetValueFloatXA(i, value);
    }
    itsLength->SetValueInt(kSensors);
}
