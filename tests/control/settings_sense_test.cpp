// The sensitivity page against the scripted driver: the inverted threshold bar and its 0.5
// tolerance, the activation bar's centre write-back, the live graphs and the handshake.
#include "components/KX3_Graph.h"
#include "components/KX3_GraphItem.h"
#include "control/KXB3_SenseA.h"
#include "tests/control/settings_fixture.h"

#include <memory>

using namespace tk;

namespace {

// The single band of a one-band graph.
TKX3_GraphItem* Band(TKX3_Graph* graph) {
    for (int i = 0; i < graph->ComponentCount(); ++i) {
        if (auto* item = dynamic_cast<TKX3_GraphItem*>(graph->Component(i)))
            return item;
    }
    return nullptr;
}

class SenseTest : public SettingsTest {
protected:
    void SetUp() override {
        Watch("Sense", "FixedThreshold", "Float");
        Watch("Sense", "PressRatio", "Float");
        Watch("Sense", "ChangeStop", "Bool");
        itsSense = std::make_unique<TKXBW3_SenseA>(nullptr);
        Activate();
    }

    float GraphsMax() const {
        EXPECT_EQ(itsSense->KX3_GraphPressThresh->GetMax(),
                  itsSense->KX3_GraphPressValue->GetMax());
        return itsSense->KX3_GraphPressValue->GetMax();
    }

    void EnableControls() { DriverSet("Sense", "ChangeBusy", "1"); }

    std::unique_ptr<TKXBW3_SenseA> itsSense;
};

TEST_F(SenseTest, TheFirstTickShowsTheThresholdEvenWhenTheBarAlreadyStandsForIt) {
    EnableControls();
    itsSense->FixedThreshold->SetPosition(400);
    DriverSet("Sense", "FixedThreshold", "100");
    const int writes = BlockCount("Sense", "FixedThreshold");
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->FixedThreshold->GetPosition(), 400);
    EXPECT_FLOAT_EQ(GraphsMax(), 100.0f);
    // 100.5 lies exactly 0.5 from 100: the threshold is not written back.
    EXPECT_EQ(BlockCount("Sense", "FixedThreshold"), writes);
    EXPECT_EQ(itsDriver.GetFloat("Sense", "FixedThreshold"), 100.0f);
}

// Moved from its stored position, the bar's handler finds 100.5 exactly 0.5 from 100 and
// writes nothing; the graphs end at the floor of the threshold.
TEST_F(SenseTest, ABarMovedToTheThresholdWritesNothingBackAtExactlyHalfAStep) {
    DriverSet("Sense", "FixedThreshold", "100");
    const int writes = BlockCount("Sense", "FixedThreshold");
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->FixedThreshold->GetPosition(), 400);
    EXPECT_EQ(BlockCount("Sense", "FixedThreshold"), writes);
    EXPECT_FLOAT_EQ(GraphsMax(), 100.0f);
}

TEST_F(SenseTest, LaterTicksMoveTheBarOnlyWhenTheThresholdLeavesItsInterval) {
    DriverSet("Sense", "FixedThreshold", "100");
    itsSense->SlowTick();
    ASSERT_EQ(itsSense->FixedThreshold->GetPosition(), 400);
    for (const char* inside : {"100.0", "101.0", "100.3"}) {
        DriverSet("Sense", "FixedThreshold", inside);
        itsSense->SlowTick();
        EXPECT_EQ(itsSense->FixedThreshold->GetPosition(), 400) << inside;
    }
    DriverSet("Sense", "FixedThreshold", "101.01");
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->FixedThreshold->GetPosition(), 399);
}

TEST_F(SenseTest, ADriverThresholdMovesTheBarWithoutAWriteBack) {
    DriverSet("Sense", "FixedThreshold", "100");
    itsSense->SlowTick();
    DriverSet("Sense", "FixedThreshold", "250.7");
    const int writes = BlockCount("Sense", "FixedThreshold");
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->FixedThreshold->GetPosition(), 250);
    EXPECT_EQ(BlockCount("Sense", "FixedThreshold"), writes);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Sense", "FixedThreshold"), 250.7f);
    EXPECT_FLOAT_EQ(GraphsMax(), 250.0f);
}

TEST_F(SenseTest, DraggingTheThresholdToItsEndsWritesTheirCentres) {
    EnableControls();
    DriverSet("Sense", "FixedThreshold", "200");
    itsSense->SlowTick();
    itsSense->FixedThreshold->SetPosition(10);
    EXPECT_EQ(itsDriver.GetFloat("Sense", "FixedThreshold"), 490.5f);
    EXPECT_FLOAT_EQ(GraphsMax(), 490.5f);
    itsSense->FixedThreshold->SetPosition(500);
    EXPECT_EQ(itsDriver.GetFloat("Sense", "FixedThreshold"), 0.5f);
    EXPECT_FLOAT_EQ(GraphsMax(), 0.5f);
}

// A threshold far outside the bar's range must not overflow when turned into a position: it
// shows at the nearest end, which writes that end's value.
TEST_F(SenseTest, AThresholdFarBelowZeroShowsAtTheRightEnd) {
    DriverSet("Sense", "FixedThreshold", "-1e30");
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->FixedThreshold->GetPosition(), 500);
    EXPECT_EQ(itsDriver.GetFloat("Sense", "FixedThreshold"), 0.5f);
    DriverSet("Sense", "FixedThreshold", "1e30");
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->FixedThreshold->GetPosition(), 10);
    EXPECT_EQ(itsDriver.GetFloat("Sense", "FixedThreshold"), 490.5f);
}

TEST_F(SenseTest, AnActivationRatioFromTheDriverSettlesAfterOneWrite) {
    DriverSet("Sense", "PressRatio", "0.3");
    int writes = BlockCount("Sense", "PressRatio");
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->PressRatio->GetPosition(), 30);
    EXPECT_EQ(itsDriver.GetFloat("Sense", "PressRatio"), 0.305f);
    EXPECT_EQ(BlockCount("Sense", "PressRatio"), (writes + 1) % 256);
    writes = BlockCount("Sense", "PressRatio");
    itsSense->SlowTick();
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->PressRatio->GetPosition(), 30);
    EXPECT_EQ(BlockCount("Sense", "PressRatio"), writes);
}

TEST_F(SenseTest, ARatioAboveOneShowsAtTheTopAndWritesItsCentre) {
    DriverSet("Sense", "PressRatio", "1.5");
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->PressRatio->GetPosition(), 100);
    EXPECT_EQ(itsDriver.GetFloat("Sense", "PressRatio"), 1.005f);
}

TEST_F(SenseTest, TheControlsTakeInputOnlyWhileTheDriverHoldsTheChangeOpen) {
    DriverSet("Sense", "ChangeBusy", "0");
    EXPECT_FALSE(itsSense->FixedThreshold->GetEnabled());
    EXPECT_FALSE(itsSense->PressRatio->GetEnabled());
    EXPECT_FALSE(itsSense->KeepChangesButton->GetEnabled());
    EXPECT_FALSE(itsSense->DiscardChangesButton->GetEnabled());
    EXPECT_TRUE(itsSense->ChangeSettingsButton->GetEnabled());
    DriverSet("Sense", "ChangeBusy", "1");
    EXPECT_TRUE(itsSense->FixedThreshold->GetEnabled());
    EXPECT_TRUE(itsSense->PressRatio->GetEnabled());
    EXPECT_TRUE(itsSense->KeepChangesButton->GetEnabled());
    EXPECT_TRUE(itsSense->DiscardChangesButton->GetEnabled());
}

TEST_F(SenseTest, TheButtonsWriteTheirRequestsTrueEveryTime) {
    itsSense->ChangeSettingsButton->Click();
    EXPECT_TRUE(itsDriver.GetBool("Sense", "ChangeStart"));
    itsSense->DiscardChangesButton->Click();
    EXPECT_TRUE(itsDriver.GetBool("Sense", "ChangeCancel"));
    const int writes = BlockCount("Sense", "ChangeStop");
    itsSense->KeepChangesButton->Click();
    itsSense->KeepChangesButton->Click();
    EXPECT_TRUE(itsDriver.GetBool("Sense", "ChangeStop"));
    EXPECT_EQ(BlockCount("Sense", "ChangeStop"), (writes + 2) % 256);
}

TEST_F(SenseTest, TheAppliedLevelIsDrawnOnlyWhileThePageIsEnabled) {
    DriverSet("Sense", "PressThresh", "40");
    DriverSet("Sense", "PressValue", "70");
    EXPECT_FLOAT_EQ(Band(itsSense->KX3_GraphPressValue)->GetPosition(), 70.0f);
    EXPECT_FLOAT_EQ(Band(itsSense->KX3_GraphPressThresh)->GetPosition(), 40.0f);

    itsSense->SetEnabled(false);
    DriverSet("Sense", "PressThresh", "45");
    DriverSet("Sense", "PressValue", "20");
    EXPECT_FLOAT_EQ(Band(itsSense->KX3_GraphPressValue)->GetPosition(), 70.0f);
    EXPECT_FLOAT_EQ(Band(itsSense->KX3_GraphPressThresh)->GetPosition(), 40.0f);

    // The threshold is shown only with the next applied level.
    itsSense->SetEnabled(true);
    DriverSet("Sense", "PressThresh", "50");
    EXPECT_FLOAT_EQ(Band(itsSense->KX3_GraphPressThresh)->GetPosition(), 40.0f);
    DriverSet("Sense", "PressValue", "25");
    EXPECT_FLOAT_EQ(Band(itsSense->KX3_GraphPressValue)->GetPosition(), 25.0f);
    EXPECT_FLOAT_EQ(Band(itsSense->KX3_GraphPressThresh)->GetPosition(), 50.0f);
}

// The whole handshake with the driver simulating: open, move, discard restores; open, move,
// keep holds.
TEST_F(SenseTest, TheLiveDriverRunsTheChangeHandshake) {
    ASSERT_TRUE(itsDriver.Live(true));
    DriverSet("Sense", "FixedThreshold", "200");
    DriverSet("Sense", "PressRatio", "0.505");
    itsSense->SlowTick();
    EXPECT_FALSE(itsSense->PressRatio->GetEnabled());

    itsSense->ChangeSettingsButton->Click();
    ASSERT_TRUE(WaitFor([&] { return itsSense->PressRatio->GetEnabled(); }));
    EXPECT_FALSE(itsDriver.GetBool("Sense", "ChangeStart"));
    itsSense->PressRatio->SetPosition(80);
    itsSense->FixedThreshold->SetPosition(400);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Sense", "PressRatio"), 0.805f);
    EXPECT_EQ(itsDriver.GetFloat("Sense", "FixedThreshold"), 100.5f);

    itsSense->DiscardChangesButton->Click();
    ASSERT_TRUE(WaitFor([&] { return !itsSense->PressRatio->GetEnabled(); }));
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Sense", "PressRatio"), 0.505f);
    EXPECT_EQ(itsDriver.GetFloat("Sense", "FixedThreshold"), 200.0f);
    itsSense->SlowTick();
    EXPECT_EQ(itsSense->PressRatio->GetPosition(), 50);
    EXPECT_EQ(itsSense->FixedThreshold->GetPosition(), 300);

    itsSense->ChangeSettingsButton->Click();
    ASSERT_TRUE(WaitFor([&] { return itsSense->PressRatio->GetEnabled(); }));
    itsSense->PressRatio->SetPosition(20);
    itsSense->KeepChangesButton->Click();
    ASSERT_TRUE(WaitFor([&] { return !itsSense->PressRatio->GetEnabled(); }));
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Sense", "PressRatio"), 0.205f);
    EXPECT_FALSE(itsDriver.GetBool("Sense", "ChangeStop"));
}

} // namespace
