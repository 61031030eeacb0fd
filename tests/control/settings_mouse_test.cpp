// The mouse page against the scripted driver: its poll handlers bring the controls into line
// with the store and the controls' click handlers write back.
#include "control/KXB3_OutputA.h"
#include "tests/control/settings_fixture.h"

#include <climits>
#include <memory>

using namespace tk;

namespace {

class MouseTest : public SettingsTest {
protected:
    void SetUp() override {
        Watch("Output", "PressType", "Int");
        Watch("Output", "Enabled", "Bool");
        Watch("Output", "DC_RadiusPixels", "Int");
        itsMouse = std::make_unique<TKXBW3_OutputA>(nullptr);
        EXPECT_EQ(itsMouse->DoubleClickRadiusLabel->GetCaption(), "0");
        Activate();
    }

    // Puts the radio group on an item the way a user's click does.
    void Select(int index) { itsMouse->PressReleaseAction->GetButton(index)->SetChecked(true); }

    std::unique_ptr<TKXBW3_OutputA> itsMouse;
};

TEST_F(MouseTest, APressTypeFromTheDriverSelectsItsItemAndIsWrittenBack) {
    DriverSet("Output", "Enabled", "0");
    DriverSet("Output", "PressType", "3");
    EXPECT_EQ(itsMouse->PressReleaseAction->GetItemIndex(), 3);
    EXPECT_EQ(itsDriver.GetInt("Output", "PressType"), 3);
    EXPECT_TRUE(itsDriver.GetBool("Output", "Enabled"));
}

TEST_F(MouseTest, ChoosingDisabledSwitchesTheMouseControlOff) {
    Select(2);
    EXPECT_EQ(itsDriver.GetInt("Output", "PressType"), 2);
    EXPECT_TRUE(itsDriver.GetBool("Output", "Enabled"));
    Select(0);
    EXPECT_EQ(itsDriver.GetInt("Output", "PressType"), 0);
    EXPECT_FALSE(itsDriver.GetBool("Output", "Enabled"));
    Settle();
    EXPECT_FALSE(itsMouse->OutputEnabled->GetChecked());
}

TEST_F(MouseTest, APressTypeAboveTheItemsSelectsTheLastAndIsRewritten) {
    DriverSet("Output", "PressType", "2");
    DriverSet("Output", "PressType", "9");
    EXPECT_EQ(itsMouse->PressReleaseAction->GetItemIndex(), 5);
    EXPECT_EQ(itsDriver.GetInt("Output", "PressType"), 5);
    EXPECT_TRUE(itsDriver.GetBool("Output", "Enabled"));
}

TEST_F(MouseTest, ANegativePressTypeClearsTheSelectionAndWritesNothing) {
    DriverSet("Output", "PressType", "2");
    DriverSet("Output", "PressType", "-4");
    const int writes = BlockCount("Output", "PressType");
    const int enabledWrites = BlockCount("Output", "Enabled");
    Settle();
    EXPECT_EQ(itsMouse->PressReleaseAction->GetItemIndex(), -1);
    EXPECT_EQ(itsDriver.GetInt("Output", "PressType"), -4);
    EXPECT_EQ(BlockCount("Output", "PressType"), writes);
    EXPECT_EQ(BlockCount("Output", "Enabled"), enabledWrites);
}

TEST_F(MouseTest, TheDriversRadiusShowsOnTheLabel) {
    DriverSet("Output", "DC_RadiusPixels", "42");
    EXPECT_EQ(itsMouse->DoubleClickRadiusLabel->GetCaption(), "42");
}

// The spin clicks step the area, keep it within 10 to 100 and write it silently: no process
// gets a change event for it.
TEST_F(MouseTest, TheSpinClicksKeepTheAreaWithinItsBoundsAndWriteSilently) {
    const struct {
        const char* Radius;
        bool Up;
        int Result;
    } cases[] = {{"100", true, 100},        {"10", false, 10},         {"7", false, 10},
                 {"150", true, 100},        {"55", true, 56},          {"55", false, 54},
                 {"2147483647", true, 100}, {"-2147483648", false, 10}};
    for (const auto& c : cases) {
        DriverSet("Output", "DC_RadiusPixels", c.Radius);
        const int changes = Changes("Output", "DC_RadiusPixels");
        if (c.Up)
            itsMouse->DoubleClickSpinButton->ClickUp();
        else
            itsMouse->DoubleClickSpinButton->ClickDown();
        EXPECT_EQ(itsMouse->DoubleClickRadiusLabel->GetCaption(), std::to_string(c.Result))
            << c.Radius;
        EXPECT_EQ(itsDriver.GetInt("Output", "DC_RadiusPixels"), c.Result) << c.Radius;
        Settle();
        EXPECT_EQ(Changes("Output", "DC_RadiusPixels"), changes) << c.Radius;
    }
}

TEST_F(MouseTest, WithoutDoubleClickingTheAreaControlsAreDisabled) {
    DriverSet("Output", "DC_Available", "0");
    EXPECT_FALSE(itsMouse->DoubleClickEnableCheckBox->GetEnabled());
    EXPECT_FALSE(itsMouse->DoubleClickRadiusLabel->GetEnabled());
    EXPECT_FALSE(itsMouse->DoubleClickSpinButton->GetEnabled());
    EXPECT_TRUE(itsMouse->Label1->GetEnabled());
    DriverSet("Output", "DC_Available", "1");
    EXPECT_TRUE(itsMouse->DoubleClickEnableCheckBox->GetEnabled());
    EXPECT_TRUE(itsMouse->DoubleClickSpinButton->GetEnabled());
}

TEST_F(MouseTest, TheDoubleClickBoxFollowsTheDriverAndWritesTheUsersChoice) {
    DriverSet("Output", "DC_Enabled", "1");
    EXPECT_TRUE(itsMouse->DoubleClickEnableCheckBox->GetChecked());
    itsMouse->DoubleClickEnableCheckBox->SetChecked(false);
    EXPECT_FALSE(itsDriver.GetBool("Output", "DC_Enabled"));
}

TEST_F(MouseTest, TheRightClickBoxFollowsRcEnabledEvenWhenUnavailable) {
    DriverSet("Output", "RC_Available", "0");
    EXPECT_FALSE(itsMouse->RightClickEnableCheckBox->GetEnabled());
    DriverSet("Output", "RC_Enabled", "1");
    EXPECT_TRUE(itsMouse->RightClickEnableCheckBox->GetChecked());
    DriverSet("Output", "RC_Available", "1");
    EXPECT_TRUE(itsMouse->RightClickEnableCheckBox->GetEnabled());
}

// Another program (the driver or the right-click window) switches right-click emulation off.
TEST_F(MouseTest, RcEnabledClearedElsewhereClearsTheBoxAndIsWrittenAgain) {
    itsMouse->RightClickEnableCheckBox->SetChecked(true);
    EXPECT_TRUE(itsDriver.GetBool("Output", "RC_Enabled"));
    DriverSet("Output", "RC_Enabled", "0");
    EXPECT_FALSE(itsMouse->RightClickEnableCheckBox->GetChecked());
    EXPECT_FALSE(itsDriver.GetBool("Output", "RC_Enabled"));
}

TEST_F(MouseTest, ThePermitGroupIsNeverShown) {
    DriverSet("Output", "Enabled", "1");
    DriverSet("Output", "Enabled", "0");
    EXPECT_FALSE(itsMouse->GroupBox1->GetVisible());
    EXPECT_FALSE(itsMouse->OutputEnabled->GetChecked());
}

} // namespace
