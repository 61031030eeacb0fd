// The stand-in driver's side of right-click emulation: its right-click timer runs for the hold
// time after each simulated press while emulation is on, and it starts with the window's
// bounds the window was designed with.
#include "driver/OutputSection.h"
#include "driver/TouchSimulation.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class DriverRightClickTest : public testing::Test {
protected:
    void SetUp() override { section.OnStart(""); }

    TShareVarBase* Var(const char* name) { return section.Find("Output", name); }
    int Timer(std::uint32_t nowMs) {
        section.LiveTick(nowMs);
        return Var("RC_Timer")->GetValueInt();
    }
    // The first moment of the simulated press in the cycle that holds `fromMs`.
    static std::uint32_t PressStart(std::uint32_t fromMs) {
        std::uint32_t t = fromMs;
        while (!SimulatedTouchAt(t).Pressed) {
            ++t;
        }
        return t;
    }

    OutputSection section;
};

TEST_F(DriverRightClickTest, TimerRunsForTheHoldTimeAfterEachPress) {
    Var("RC_Enabled")->SetValueBool(true);
    const int hold = Var("RC_TimeMilliSecs")->GetValueInt();
    ASSERT_GT(hold, 0);
    std::uint32_t press = PressStart(0);
    EXPECT_EQ(Timer(press - 50), 0) << "no press yet";
    for (int stroke = 0; stroke < 2; ++stroke) {
        EXPECT_EQ(Timer(press), hold);
        EXPECT_EQ(Timer(press + 50), hold - 50);
        EXPECT_GT(Timer(press + static_cast<std::uint32_t>(hold) - 1), 0);
        EXPECT_EQ(Timer(press + static_cast<std::uint32_t>(hold)), 0) << "ran out while held";
        std::uint32_t released = press + static_cast<std::uint32_t>(hold);
        while (SimulatedTouchAt(released).Pressed) {
            released += 50;
        }
        EXPECT_EQ(Timer(released), 0);
        press = PressStart(released);
    }
}

TEST_F(DriverRightClickTest, TimerStaysAtZeroWhileEmulationIsOffOrTheFingerLifts) {
    const std::uint32_t press = PressStart(0);
    EXPECT_EQ(Timer(press), 0) << "emulation off";
    Var("RC_Enabled")->SetValueBool(true);
    EXPECT_GT(Timer(press + 100), 0) << "switched on while held: counts from now";
    Var("RC_Enabled")->SetValueBool(false);
    EXPECT_EQ(Timer(press + 150), 0);
}

TEST_F(DriverRightClickTest, StartsWithRightClickOfferedAndTheDesignedWindowBounds) {
    EXPECT_TRUE(Var("RC_Available")->GetValueBool());
    EXPECT_EQ(Var("RC_Panel_X")->GetValueInt(), 15);
    EXPECT_EQ(Var("RC_Panel_Y")->GetValueInt(), 76);
    EXPECT_EQ(Var("RC_Panel_W")->GetValueInt(), 180);
    EXPECT_EQ(Var("RC_Panel_H")->GetValueInt(), 100);
    EXPECT_TRUE(Var("RC_Panel_W")->GetSaveable()) << "the window comes back where it was";
}

} // namespace
