// The connection pages against the scripted driver: the search display, the detail panels,
// the glass thickness and the priority handshake.
#include "components/KX3_Panel.h"
#include "control/KXB3_CommsA.h"
#include "control/KXB3_CommsB.h"
#include "tests/control/settings_fixture.h"

#include <memory>
#include <vector>

using namespace tk;

namespace {

class CommsTest : public SettingsTest {
protected:
    void SetUp() override {
        Watch("Comm", "CycleSize", "Int");
        Watch("Status", "ReqPriorityLevel", "Int");
        itsCommsA = std::make_unique<TKXBW3_CommsA>(nullptr);
        itsCommsB = std::make_unique<TKXBW3_CommsB>(nullptr);
        Activate();
    }

    void Tick() {
        itsCommsA->SlowTick();
        itsCommsB->SlowTick();
    }

    std::vector<std::string> Lines() const {
        return itsCommsA->CommsStatusMemo->GetCaptions()->Lines();
    }

    int CheckedGlassRadio() const {
        TRadioButton* radios[] = {itsCommsB->USBProjectedCapacitanceRadioButton0,
                                  itsCommsB->USBProjectedCapacitanceRadioButton1,
                                  itsCommsB->USBProjectedCapacitanceRadioButton2,
                                  itsCommsB->USBProjectedCapacitanceRadioButton3};
        int checked = -1;
        for (int i = 0; i < 4; ++i) {
            if (radios[i]->GetChecked())
                checked = checked == -1 ? i : -2;
        }
        return checked;
    }

    std::unique_ptr<TKXBW3_CommsA> itsCommsA;
    std::unique_ptr<TKXBW3_CommsB> itsCommsB;
};

TEST_F(CommsTest, TheWritesMadeBeforeActivationReachTheDriverOnTheFirstPoll) {
    EXPECT_TRUE(itsDriver.GetBool("Comm", "AutoDetect"));
    EXPECT_TRUE(itsDriver.GetBool("Comm", "Advanced"));
    EXPECT_EQ(itsDriver.GetInt("Comm", "ReqMuxSize"), 64);
    EXPECT_EQ(itsDriver.GetInt("Comm", "MuxOrder"), 0);
}

TEST_F(CommsTest, EveryTickAsksForThePortSearchAgain) {
    DriverSet("Comm", "AutoDetect", "0");
    Tick();
    EXPECT_TRUE(itsDriver.GetBool("Comm", "AutoDetect"));
}

TEST_F(CommsTest, SearchingShowsRedWithThePortTriedAndHidesBothPanels) {
    DriverSet("Comm", "Baud", "3");
    DriverSet("Comm", "Port", "3");
    DriverSet("Comm", "AutoDetectBusy", "1");
    Tick();
    EXPECT_EQ(itsCommsA->CommsStatusMemo->GetColor(), clRed);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"", "Searching", "for", "Connected", "Touchscreen",
                                                 "Com 3"}));
    EXPECT_FALSE(itsCommsB->SerialPanel->GetVisible());
    EXPECT_FALSE(itsCommsB->USBPanel->GetVisible());
    EXPECT_EQ(itsCommsB->SerialBaudRateValueLabel->GetCaption(), "");
}

TEST_F(CommsTest, AUsbLinkShowsLimeAndTheUsbPanelWithoutABaudRate) {
    DriverSet("Comm", "Baud", "2");
    DriverSet("Comm", "Port", "9");
    DriverSet("Comm", "Rate", "118");
    DriverSet("Comm", "Length", "-32");
    DriverSet("Comm", "LostFiveMins", "4");
    Tick();
    EXPECT_EQ(itsCommsA->CommsStatusMemo->GetColor(), clLime);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"", "Touchscreen", "Found on", "USB", " "}));
    EXPECT_TRUE(itsCommsB->USBPanel->GetVisible());
    EXPECT_FALSE(itsCommsB->SerialPanel->GetVisible());
    EXPECT_EQ(itsCommsB->SerialBaudRateValueLabel->GetCaption(), "");
    EXPECT_EQ(itsCommsB->USBScanRateValueLabel->GetCaption(), "118");
    EXPECT_EQ(itsCommsB->USBSensorSizeValueLabel->GetCaption(), "-32");
    EXPECT_EQ(itsCommsB->USBDataLostFiveMinsValueLabel->GetCaption(), "4");
    EXPECT_EQ(itsCommsB->SerialScanRateValueLabel->GetCaption(), "118");
}

TEST_F(CommsTest, PortsOutsideOneToNineShowABlankAndNoPanel) {
    for (const char* port : {"0", "10", "-1"}) {
        DriverSet("Comm", "Port", port);
        Tick();
        EXPECT_EQ(Lines().at(3), " ") << port;
        EXPECT_FALSE(itsCommsB->SerialPanel->GetVisible()) << port;
        EXPECT_FALSE(itsCommsB->USBPanel->GetVisible()) << port;
    }
    EXPECT_EQ(TKXBW3_CommsA::PortText(1), "Com 1");
    EXPECT_EQ(TKXBW3_CommsA::PortText(8), "Com 8");
}

TEST_F(CommsTest, ASerialLinkShowsItsBaudRateOnlyForTheSixKnownIndexes) {
    DriverSet("Comm", "Port", "2");
    const std::pair<const char*, const char*> cases[] = {
        {"6", ""}, {"-1", ""}, {"0", "1200"}, {"3", "9600"}, {"5", "38400"}};
    for (const auto& [baud, text] : cases) {
        DriverSet("Comm", "Baud", baud);
        Tick();
        EXPECT_TRUE(itsCommsB->SerialPanel->GetVisible());
        EXPECT_FALSE(itsCommsB->USBPanel->GetVisible());
        EXPECT_EQ(itsCommsB->SerialBaudRateValueLabel->GetCaption(), text) << baud;
    }
}

TEST_F(CommsTest, TheAdvancedSwitchShowsTheDetailGroupsAtOnceAndTheyStay) {
    DriverSet("Comm", "Port", "9");
    Tick();
    EXPECT_FALSE(itsCommsB->USBAdvancedGroupBox->GetVisible());
    EXPECT_FALSE(itsCommsB->USBProjectedCapacitanceGroupBox->GetVisible());
    EXPECT_FALSE(itsCommsB->USBDriverPriorityLevelGroupBox->GetVisible());
    EXPECT_TRUE(itsCommsB->USBAdvancedCheckBoxPanel->GetVisible());

    itsCommsB->USBAdvancedCheckBox->SetChecked(true);
    EXPECT_TRUE(itsCommsB->USBAdvancedGroupBox->GetVisible());
    EXPECT_TRUE(itsCommsB->USBProjectedCapacitanceGroupBox->GetVisible());
    EXPECT_TRUE(itsCommsB->USBDriverPriorityLevelGroupBox->GetVisible());
    Tick();
    EXPECT_TRUE(itsCommsB->USBDriverPriorityLevelGroupBox->GetVisible());
    // The serial panel's own switch is still off.
    EXPECT_FALSE(itsCommsB->SerialAdvancedGroupBox->GetVisible());
    EXPECT_FALSE(itsCommsB->SerialDriverPriorityLevelGroupBox->GetVisible());
}

// The boundaries are the midpoints 4, 6 and 11 of the table 3, 5, 8, 15. A check that moves
// writes its table value; a check that stays writes nothing.
TEST_F(CommsTest, TheCycleSizeChecksItsGlassRadioAndIsRewrittenWhenTheCheckMoves) {
    DriverSet("Comm", "CycleSize", "10");
    int writes = BlockCount("Comm", "CycleSize");
    Tick();
    EXPECT_EQ(CheckedGlassRadio(), 2);
    EXPECT_EQ(itsDriver.GetInt("Comm", "CycleSize"), 10);
    EXPECT_EQ(BlockCount("Comm", "CycleSize"), writes);

    const std::pair<int, int> cases[] = {{4, 1}, {5, 1}, {6, 2}, {11, 3}, {3, 0}, {-7, 0}};
    for (const auto& [cycleSize, radio] : cases) {
        DriverSet("Comm", "CycleSize", std::to_string(cycleSize));
        Tick();
        EXPECT_EQ(CheckedGlassRadio(), radio) << cycleSize;
    }
    // 4 moves the check to "2" and becomes 5; -7 then moves it back to "1" and becomes 3. A
    // value whose check does not move stays as it is.
    DriverSet("Comm", "CycleSize", "4");
    Tick();
    EXPECT_EQ(itsDriver.GetInt("Comm", "CycleSize"), 5);
    DriverSet("Comm", "CycleSize", "-7");
    Tick();
    EXPECT_EQ(itsDriver.GetInt("Comm", "CycleSize"), 3);
    DriverSet("Comm", "CycleSize", "1");
    writes = BlockCount("Comm", "CycleSize");
    Tick();
    EXPECT_EQ(itsDriver.GetInt("Comm", "CycleSize"), 1);
    EXPECT_EQ(BlockCount("Comm", "CycleSize"), writes);
}

TEST_F(CommsTest, LongAndShortSensorsShareTheGlassValues) {
    for (const char* length : {"16", "17"}) {
        DriverSet("Comm", "Length", length);
        DriverSet("Comm", "CycleSize", "11");
        Tick();
        EXPECT_EQ(itsDriver.GetInt("Comm", "CycleSize"), 15) << length;
        itsCommsB->USBProjectedCapacitanceRadioButton1->SetChecked(true);
        EXPECT_EQ(itsDriver.GetInt("Comm", "CycleSize"), 5) << length;
    }
}

TEST_F(CommsTest, ChoosingAGlassWritesItsCycleSizeAtOnceAndTheDisplayKeepsIt) {
    itsCommsB->USBProjectedCapacitanceRadioButton0->SetChecked(true);
    EXPECT_EQ(itsDriver.GetInt("Comm", "CycleSize"), 3);
    Settle();
    EXPECT_GE(Changes("Comm", "CycleSize"), 1);
    const int writes = BlockCount("Comm", "CycleSize");
    Tick();
    EXPECT_TRUE(itsCommsB->USBProjectedCapacitanceRadioButton0->GetChecked());
    EXPECT_EQ(BlockCount("Comm", "CycleSize"), writes);
}

TEST_F(CommsTest, AnUnconfirmedHighPriorityIsWithdrawnOnTheNextTick) {
    DriverSet("Status", "PriorityLevel", "0");
    Tick();
    itsCommsB->USBDriverPriorityLevelRadioButton0->SetChecked(true);
    EXPECT_EQ(itsDriver.GetInt("Status", "ReqPriorityLevel"), 1);
    Tick();
    EXPECT_TRUE(itsCommsB->USBDriverPriorityLevelRadioButton1->GetChecked());
    EXPECT_FALSE(itsCommsB->USBDriverPriorityLevelRadioButton0->GetChecked());
    EXPECT_EQ(itsDriver.GetInt("Status", "ReqPriorityLevel"), 0);
}

TEST_F(CommsTest, AConfirmedPriorityChecksHighInBothGroups) {
    itsCommsB->SerialDriverPriorityLevelRadioButton0->SetChecked(true);
    EXPECT_EQ(itsDriver.GetInt("Status", "ReqPriorityLevel"), 1);
    DriverSet("Status", "PriorityLevel", "1");
    Tick();
    EXPECT_TRUE(itsCommsB->SerialDriverPriorityLevelRadioButton0->GetChecked());
    EXPECT_TRUE(itsCommsB->USBDriverPriorityLevelRadioButton0->GetChecked());
    EXPECT_EQ(itsDriver.GetInt("Status", "ReqPriorityLevel"), 1);
}

TEST_F(CommsTest, AnUnknownPriorityLeavesTheRadiosAndWritesNothing) {
    DriverSet("Status", "ReqPriorityLevel", "7");
    DriverSet("Status", "PriorityLevel", "2");
    const int writes = BlockCount("Status", "ReqPriorityLevel");
    Tick();
    EXPECT_TRUE(itsCommsB->USBDriverPriorityLevelRadioButton1->GetChecked());
    EXPECT_TRUE(itsCommsB->SerialDriverPriorityLevelRadioButton1->GetChecked());
    EXPECT_EQ(itsDriver.GetInt("Status", "ReqPriorityLevel"), 7);
    EXPECT_EQ(BlockCount("Status", "ReqPriorityLevel"), writes);
}

TEST_F(CommsTest, TheStatusPanelFillsTheMiddleOfItsGrid) {
    itsCommsA->SetBounds(0, 0, 300, 180);
    const int a = itsCommsA->CommsStatusGroupBox->GetWidth() / 10;
    const int b = itsCommsA->CommsStatusGroupBox->GetHeight() / 12;
    EXPECT_EQ(itsCommsA->CommsStatusGroupBox->GetWidth(), 300);
    EXPECT_EQ(itsCommsA->CommsStatusMemo->GetBoundsRect().Left, a);
    EXPECT_EQ(itsCommsA->CommsStatusMemo->GetBoundsRect().Top, 2 * b);
    EXPECT_EQ(itsCommsA->CommsStatusMemo->GetWidth(), 8 * a);
    EXPECT_EQ(itsCommsA->CommsStatusMemo->GetHeight(), 9 * b);
}

} // namespace
