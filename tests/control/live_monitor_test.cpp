// The monitor page: touches reaching the trace, and the clear countdown.
#include "control/KXB3_Monitor.h"
#include "tests/control/live_fixture.h"

#include <string>
#include <vector>

using namespace tk;

namespace {

constexpr unsigned kGreen = 0x008000;
constexpr unsigned kRed = 0xFF0000;

} // namespace

// "X", "Y" and "Button" are marked saveable for the store's INI persistence.
TEST(MonitorPageVariables, TheTouchVariablesAreSaveable) {
    TKXBW3_Monitor monitor(nullptr);
    std::vector<std::string> created;
    for (int i = 0; i < monitor.ComponentCount(); ++i)
        if (auto* poly = dynamic_cast<TShareVarPoly*>(monitor.Component(i)))
            for (int k = 0; k < poly->GetCount(); ++k) {
                const TShareVarBase* var = poly->GetVar(k);
                created.push_back(var->GetSecName() + "/" + var->GetVarName() +
                                  (var->GetSaveable() ? " saveable" : ""));
            }
    EXPECT_EQ(created, (std::vector<std::string>{"Output/X saveable", "Output/Y saveable",
                                                 "Output/Button saveable"}));
}

class MonitorPage : public LiveTest {
protected:
    MonitorPage() : itsMonitor(std::make_unique<TKXBW3_Monitor>(nullptr)) {}

    void SetUp() override { Activate(); }

    // A touch as the driver reports it: position first, then the touch state.
    void Touch(float x, float y, int button) {
        ASSERT_EQ(itsDriver.Command("setx Output X " + std::to_string(x)), "ok");
        ASSERT_EQ(itsDriver.Command("setx Output Y " + std::to_string(y)), "ok");
        DriverSet("Output", "Button", std::to_string(button));
    }

    // A short stroke: the first point starts it, the second draws a line.
    void Stroke(int button) {
        Touch(0.2f, 0.2f, button);
        Touch(0.6f, 0.6f, button);
    }

    int Traced(unsigned colour) { return CountPixels(Snapshot(itsMonitor->KX3_GaugeXY1), colour); }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            itsMonitor->SlowTick();
    }

    std::unique_ptr<TKXBW3_Monitor> itsMonitor;
};

TEST_F(MonitorPage, APressDrawsAndTheTraceClearsOnThe60thTick) {
    Stroke(1);
    EXPECT_GT(Traced(kGreen), 0);
    EXPECT_EQ(itsMonitor->GetClearCountdown(), 60);
    Ticks(59);
    EXPECT_GT(Traced(kGreen), 0);
    Ticks(1);
    EXPECT_EQ(Traced(kGreen), 0);
    EXPECT_EQ(itsMonitor->GetClearCountdown(), 0);
    Ticks(5);
    EXPECT_EQ(itsMonitor->GetClearCountdown(), 0);
}

TEST_F(MonitorPage, TheSecondButtonTracesRedAndAReleaseDoesNotRestartTheCountdown) {
    Stroke(2);
    EXPECT_GT(Traced(kRed), 0);
    Ticks(10);
    Touch(0.6f, 0.6f, 0);
    EXPECT_EQ(itsMonitor->GetClearCountdown(), 50);
}

TEST_F(MonitorPage, APressRestartsARunningCountdown) {
    Stroke(1);
    Ticks(30);
    Touch(0.7f, 0.7f, 1);
    EXPECT_EQ(itsMonitor->GetClearCountdown(), 60);
    Ticks(59);
    EXPECT_GT(Traced(kGreen), 0);
    Ticks(1);
    EXPECT_EQ(Traced(kGreen), 0);
}

TEST_F(MonitorPage, TheCountdownStandsStillWhileTheTabIsInactive) {
    Stroke(1);
    Ticks(50);
    itsMonitor->SetEnabled(false);
    Ticks(100);
    EXPECT_EQ(itsMonitor->GetClearCountdown(), 10);
    EXPECT_GT(Traced(kGreen), 0);
    itsMonitor->SetEnabled(true);
    Ticks(9);
    EXPECT_GT(Traced(kGreen), 0);
    Ticks(1);
    EXPECT_EQ(Traced(kGreen), 0);
}

TEST_F(MonitorPage, APressWhileTheTabIsInactiveIsDropped) {
    itsMonitor->SetEnabled(false);
    Stroke(1);
    EXPECT_EQ(itsMonitor->GetClearCountdown(), 0);
    itsMonitor->SetEnabled(true);
    EXPECT_EQ(Traced(kGreen), 0);
    // The dropped points left no stroke behind: the next point only starts one.
    Touch(0.9f, 0.9f, 1);
    EXPECT_EQ(Traced(kGreen), 0);
}

TEST_F(MonitorPage, TheClearButtonClearsAtOnceAndTheCountdownRunsOn) {
    Stroke(1);
    Ticks(20);
    itsMonitor->ClearButton->Click();
    EXPECT_EQ(Traced(kGreen), 0);
    EXPECT_EQ(itsMonitor->GetClearCountdown(), 40);
    Stroke(1);
    EXPECT_EQ(itsMonitor->GetClearCountdown(), 60);
    Ticks(60);
    EXPECT_EQ(Traced(kGreen), 0);
}
