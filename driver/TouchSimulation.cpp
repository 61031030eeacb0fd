#include "driver/TouchSimulation.h"

#include <cmath>
#include <numbers>

namespace {

constexpr std::uint32_t kCycleMs = 9000;
constexpr std::uint32_t kPressAtMs = 1500;
constexpr std::uint32_t kStrokeMs = 3000;
constexpr std::uint32_t kPointEveryMs = 100;

} // namespace

SimulatedTouch SimulatedTouchAt(std::uint32_t nowMs) {
    SimulatedTouch touch;
    const std::uint32_t cycle = nowMs / kCycleMs;
    const std::uint32_t phase = nowMs % kCycleMs;
    const float t = static_cast<float>(phase) - static_cast<float>(kPressAtMs);
    const float along = t / static_cast<float>(kStrokeMs);
    touch.Pressed = phase >= kPressAtMs && phase < kPressAtMs + kStrokeMs;
    touch.Button = cycle % 3 == 2 ? 2 : 1;
    const float clamped = std::fmin(std::fmax(along, 0.0f), 1.0f);
    touch.X = 0.15f + 0.7f * clamped;
    touch.Y = 0.5f + 0.3f * std::sin(2.0f * std::numbers::pi_v<float> * clamped);
    return touch;
}

StrokeSimulator::StrokeSimulator(TShareVarBase* x, TShareVarBase* y, TShareVarBase* button)
    : itsX(x), itsY(y), itsButton(button) {}

void StrokeSimulator::Tick(std::uint32_t nowMs) {
    const SimulatedTouch touch = SimulatedTouchAt(nowMs);
    if (touch.Pressed) {
        if (!itsPressed || nowMs - itsLastPointMs >= kPointEveryMs) {
            Write(touch, touch.Button);
            itsLastPointMs = nowMs;
        }
    } else if (itsPressed) {
        Write(touch, 0);
    }
    itsPressed = touch.Pressed;
}

// The position goes first and silently; the announced "Button" tells the panel a point is ready.
void StrokeSimulator::Write(const SimulatedTouch& touch, int button) {
    itsX->SetValueFloatX(touch.X);
    itsY->SetValueFloatX(touch.Y);
    itsButton->SetValueInt(button);
}
