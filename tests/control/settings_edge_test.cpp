// The edge gain and line smoothing pages against the scripted driver: positions from gains,
// the centre values written back, the cross layout, and the "Smooth Line" switch.
#include "control/KXB3_Edge.h"
#include "control/KXB3_Linearity.h"
#include "control/KXB3_Mapping.h"
#include "tests/control/settings_fixture.h"

#include <memory>

using namespace tk;

namespace {

class EdgeTest : public SettingsTest {
protected:
    void SetUp() override {
        for (const char* name : {"TopGain", "BottomGain", "LeftGain", "RightGain"})
            Watch("Edge", name, "Float");
        Watch("DeWiggle", "Inner", "Float");
        Watch("DeWiggle", "Outer", "Float");
        itsEdge = std::make_unique<TKXBW3_Edge>(nullptr);
        itsLinearity = std::make_unique<TKXBW3_Linearity>(nullptr);
        Activate();
    }

    int EdgeWrites() {
        int sum = 0;
        for (const char* name : {"TopGain", "BottomGain", "LeftGain", "RightGain"})
            sum += BlockCount("Edge", name);
        return sum;
    }

    std::unique_ptr<TKXBW3_Edge> itsEdge;
    std::unique_ptr<TKXBW3_Linearity> itsLinearity;
};

TEST_F(EdgeTest, AGainOfOneMovesEachBarToTheMiddleAndSettlesAfterOneWrite) {
    for (const char* name : {"TopGain", "BottomGain", "LeftGain", "RightGain"})
        DriverSet("Edge", name, "1.0");
    itsEdge->SlowTick();
    EXPECT_EQ(itsEdge->TopGain->GetPosition(), 50);
    EXPECT_EQ(itsEdge->BottomGain->GetPosition(), 50);
    EXPECT_EQ(itsEdge->LeftGain->GetPosition(), 50);
    EXPECT_EQ(itsEdge->RightGain->GetPosition(), 50);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "TopGain"), 0.99f);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "LeftGain"), 0.99f);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "BottomGain"), 1.01f);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "RightGain"), 1.01f);

    const int writes = EdgeWrites();
    itsEdge->SlowTick();
    EXPECT_EQ(EdgeWrites(), writes);
    EXPECT_EQ(itsEdge->TopGain->GetPosition(), 50);
}

TEST_F(EdgeTest, TheBarsEndsWriteTheirCentreValues) {
    itsEdge->BottomGain->SetPosition(100);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "BottomGain"), 2.01f);
    itsEdge->TopGain->SetPosition(0);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "TopGain"), 1.99f);
    itsEdge->TopGain->SetPosition(100);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "TopGain"), -0.0099999551f);
    itsEdge->BottomGain->SetPosition(0);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "BottomGain"), 0.01f);
    itsEdge->RightGain->SetPosition(99);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "RightGain"), 1.99f);
    itsEdge->LeftGain->SetPosition(1);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "LeftGain"), 1.97f);
}

TEST_F(EdgeTest, ZeroGainsMatchTheStoredPositionsAndNothingIsWritten) {
    for (const char* name : {"TopGain", "BottomGain", "LeftGain", "RightGain"})
        DriverSet("Edge", name, "0");
    const int writes = EdgeWrites();
    itsEdge->SlowTick();
    EXPECT_EQ(itsEdge->TopGain->GetPosition(), 100);
    EXPECT_EQ(itsEdge->LeftGain->GetPosition(), 100);
    EXPECT_EQ(itsEdge->BottomGain->GetPosition(), 0);
    EXPECT_EQ(itsEdge->RightGain->GetPosition(), 0);
    EXPECT_EQ(EdgeWrites(), writes);
}

// Every value the page writes maps back to the same position, so a second tick never moves a
// bar or writes again.
TEST_F(EdgeTest, AGainTheBarAlreadyShowsIsNeverWritten) {
    itsEdge->TopGain->SetPosition(37);
    itsEdge->RightGain->SetPosition(63);
    itsEdge->LeftGain->SetPosition(2);
    itsEdge->BottomGain->SetPosition(98);
    const int writes = EdgeWrites();
    itsEdge->SlowTick();
    EXPECT_EQ(EdgeWrites(), writes);
    EXPECT_EQ(itsEdge->TopGain->GetPosition(), 37);
    EXPECT_EQ(itsEdge->RightGain->GetPosition(), 63);
}

TEST_F(EdgeTest, GainsOutsideTheScaleShowAtTheNearestEnd) {
    DriverSet("Edge", "TopGain", "2.5");
    DriverSet("Edge", "BottomGain", "-0.5");
    itsEdge->SlowTick();
    EXPECT_EQ(itsEdge->TopGain->GetPosition(), 0);
    EXPECT_EQ(itsEdge->BottomGain->GetPosition(), 0);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "TopGain"), 1.99f);
    // The bottom bar did not move from its stored 0, so its gain stays as the driver wrote it.
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Edge", "BottomGain"), -0.5f);
}

TEST_F(EdgeTest, TheEdgePanelsFormACrossOnTheGroupsGrid) {
    itsEdge->SetBounds(0, 0, 594, 454);
    ASSERT_EQ(itsEdge->EdgeGroup->GetWidth(), 594);
    ASSERT_EQ(itsEdge->EdgeGroup->GetHeight(), 454);
    const auto bounds = [](TControl* c) {
        return std::vector<int>{c->GetLeft(), c->GetTop(), c->GetWidth(), c->GetHeight()};
    };
    EXPECT_EQ(bounds(itsEdge->TopPanel), (std::vector<int>{252, 21, 84, 168}));
    EXPECT_EQ(bounds(itsEdge->BottomPanel), (std::vector<int>{252, 252, 84, 168}));
    EXPECT_EQ(bounds(itsEdge->LeftPanel), (std::vector<int>{28, 189, 168, 63}));
    EXPECT_EQ(bounds(itsEdge->RightPanel), (std::vector<int>{392, 189, 168, 63}));
}

TEST_F(EdgeTest, TheSmoothingBarFollowsInnerAndLeavesOuterAlone) {
    DriverSet("DeWiggle", "Outer", "0.77");
    DriverSet("DeWiggle", "Inner", "0.5");
    const int outerWrites = BlockCount("DeWiggle", "Outer");
    itsLinearity->SlowTick();
    EXPECT_EQ(itsLinearity->DeWiggleInner->GetPosition(), 50);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("DeWiggle", "Inner"), 0.505f);
    const int innerWrites = BlockCount("DeWiggle", "Inner");
    itsLinearity->SlowTick();
    EXPECT_EQ(BlockCount("DeWiggle", "Inner"), innerWrites);
    EXPECT_EQ(BlockCount("DeWiggle", "Outer"), outerWrites);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("DeWiggle", "Outer"), 0.77f);
}

TEST_F(EdgeTest, TheSmoothLineGroupShowsOnlyWhileAdvancedIsOn) {
    EXPECT_TRUE(itsLinearity->LinearityGroupBox->GetVisible());
    DriverSet("DeWiggle", "Advanced", "0");
    itsLinearity->SlowTick();
    EXPECT_FALSE(itsLinearity->LinearityAdvanced->GetChecked());
    EXPECT_FALSE(itsLinearity->LinearityGroupBox->GetVisible());

    itsLinearity->LinearityAdvanced->SetChecked(true);
    EXPECT_TRUE(itsDriver.GetBool("DeWiggle", "Advanced"));
    itsLinearity->SlowTick();
    EXPECT_TRUE(itsLinearity->LinearityGroupBox->GetVisible());

    DriverSet("DeWiggle", "Advanced", "0");
    itsLinearity->SlowTick();
    EXPECT_FALSE(itsLinearity->LinearityAdvanced->GetChecked());
    EXPECT_FALSE(itsLinearity->LinearityGroupBox->GetVisible());
    EXPECT_FALSE(itsDriver.GetBool("DeWiggle", "Advanced"));
}

// The driver's first-start settings are values the pages write themselves, so a first start
// leaves the settings clean.
TEST_F(EdgeTest, TheDriversDefaultsAreCentreValues) {
    EXPECT_EQ(itsDriver.GetFloat("Edge", "TopGain"), MapRange(CentrePosition(50), 0, 100, 2, 0));
    EXPECT_EQ(itsDriver.GetFloat("Edge", "BottomGain"), MapRange(CentrePosition(50), 0, 100, 0, 2));
    EXPECT_EQ(itsDriver.GetFloat("DeWiggle", "Inner"), MapRange(CentrePosition(50), 0, 100, 0, 1));
    EXPECT_EQ(itsDriver.GetFloat("Sense", "PressRatio"),
              MapRange(CentrePosition(50), 0, 100, 0, 1));
}

} // namespace
