// The simulated finger of the live driver: one pure function of time gives where the screen
// is being touched, so the sensor graphs' bump and the monitor's strokes agree.
#pragma once

#include "store/ShareVarBase.h"

#include <cstdint>

struct SimulatedTouch {
    bool Pressed = false;
    int Button = 0; // 1 for a press, 2 for a press with the second button
    float X = 0;    // fractions of the screen, 0 to 1
    float Y = 0;
};

// A stroke of a few seconds now and then: every cycle the finger presses, moves along a wave
// across the screen and lifts; every third stroke uses the second button.
SimulatedTouch SimulatedTouchAt(std::uint32_t nowMs);

// Writes the simulated strokes to the monitor's variables: "X" and "Y" before "Button", a
// point every 100 ms while pressed and a release (Button 0) when the finger lifts.
class StrokeSimulator {
public:
    StrokeSimulator(TShareVarBase* x, TShareVarBase* y, TShareVarBase* button);

    void Tick(std::uint32_t nowMs);

private:
    void Write(const SimulatedTouch& touch, int button);

    TShareVarBase* itsX;
    TShareVarBase* itsY;
    TShareVarBase* itsButton;
    bool itsPressed = false;
    std::uint32_t itsLastPointMs = 0;
};
