// The stand-in driver's side of the settings pages' sections, live and as saved settings, and
// the pages joined to the main form.
#include "components/KX3_Panel.h"
#include "main_test_support.h"
#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace tk;

namespace {

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(SettingsDriver, LiveTheDriverSearchesThenReportsAUsbLink) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(driver.Live(true));
    ASSERT_TRUE(WaitFor([&] { return driver.GetBool("Comm", "AutoDetectBusy"); }, 2000));
    const int port = driver.GetInt("Comm", "Port");
    EXPECT_GE(port, 1);
    EXPECT_LE(port, 9);
    EXPECT_FALSE(driver.GetBool("Comm", "Valid"));

    ASSERT_TRUE(WaitFor([&] { return !driver.GetBool("Comm", "AutoDetectBusy"); }, 6000));
    EXPECT_EQ(driver.GetInt("Comm", "Port"), 9);
    EXPECT_TRUE(driver.GetBool("Comm", "Valid"));
    EXPECT_EQ(driver.GetInt("Comm", "Length"), 32);
    EXPECT_EQ(driver.GetInt("Comm", "LostFiveMins"), 0);
    EXPECT_EQ(driver.GetInt("Comm", "CycleSize"), 8);
    ASSERT_TRUE(WaitFor([&] { return driver.GetInt("Comm", "Rate") > 0; }, 2000));
    EXPECT_NEAR(driver.GetInt("Comm", "Rate"), 120, 2);

    // The Reset command searches again.
    ASSERT_TRUE(driver.Set("Status", "Reset", "1"));
    EXPECT_TRUE(WaitFor([&] { return driver.GetBool("Comm", "AutoDetectBusy"); }, 2000));
}

TEST(SettingsDriver, LiveTheDriverConfirmsARequestedPriority) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(driver.Live(true));
    ASSERT_TRUE(driver.Set("Status", "ReqPriorityLevel", "1"));
    EXPECT_TRUE(WaitFor([&] { return driver.GetInt("Status", "PriorityLevel") == 1; }, 2000));
    ASSERT_TRUE(driver.Set("Status", "ReqPriorityLevel", "0"));
    EXPECT_TRUE(WaitFor([&] { return driver.GetInt("Status", "PriorityLevel") == 0; }, 2000));
    // A request other than 0 or 1 is not confirmed.
    ASSERT_TRUE(driver.Set("Status", "ReqPriorityLevel", "5"));
    PumpEvents(200);
    EXPECT_EQ(driver.GetInt("Status", "PriorityLevel"), 0);
}

TEST(SettingsDriver, LiveTheDriverSimulatesTouchesAndOffersBothEmulations) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    EXPECT_TRUE(driver.GetBool("Output", "DC_Available"));
    EXPECT_TRUE(driver.GetBool("Output", "RC_Available"));
    ASSERT_TRUE(driver.Set("Sense", "FixedThreshold", "200"));
    ASSERT_TRUE(driver.Set("Sense", "PressRatio", "0.25"));
    ASSERT_TRUE(driver.Live(true));
    ASSERT_TRUE(WaitFor([&] { return driver.GetFloat("Sense", "PressThresh") == 50.0f; }, 2000));
    float lowest = 1e9f;
    float highest = -1e9f;
    ASSERT_FALSE(WaitFor(
        [&] {
            const float level = driver.GetFloat("Sense", "PressValue");
            lowest = std::min(lowest, level);
            highest = std::max(highest, level);
            return false;
        },
        4200));
    EXPECT_LT(lowest, 50.0f);
    EXPECT_GT(highest, 200.0f);
}

TEST(SettingsDriver, TheSettingsAreSavedAndReportedAsDirty) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(driver.TrackDirty(true));
    PumpEvents(150);
    EXPECT_FALSE(driver.GetBool("Status", "Dirty"));
    const struct {
        const char* Sec;
        const char* Name;
        const char* Other;
    } settings[] = {{"Edge", "TopGain", "1.5"},         {"DeWiggle", "Inner", "0.2"},
                    {"DeWiggle", "Advanced", "1"},      {"Output", "PressType", "4"},
                    {"Output", "RC_Enabled", "1"},      {"Output", "DC_RadiusPixels", "60"},
                    {"Sense", "FixedThreshold", "321"}, {"Comm", "CycleSize", "3"}};
    for (const auto& setting : settings) {
        const std::string saved = driver.Get(setting.Sec, setting.Name);
        ASSERT_TRUE(driver.SetSilent(setting.Sec, setting.Name, setting.Other)) << setting.Name;
        EXPECT_TRUE(WaitFor([&] { return driver.GetBool("Status", "Dirty"); }, 2000))
            << setting.Name;
        ASSERT_TRUE(driver.SetSilent(setting.Sec, setting.Name, saved)) << setting.Name;
        EXPECT_TRUE(WaitFor([&] { return !driver.GetBool("Status", "Dirty"); }, 2000))
            << setting.Name;
    }
    ASSERT_TRUE(driver.Set("Edge", "LeftGain", "1.5"));
    ASSERT_TRUE(driver.Set("Status", "Save", "1"));
    ASSERT_TRUE(WaitFor([&] { return driver.Acted("Save") == 1; }, 2000));
    EXPECT_NE(FileText(driver.IniPath()).find("LeftGainFlo1=1.5"), std::string::npos);
}

// The main form creates, places, ticks and enables the settings pages.
TEST(SettingsInMainForm, ThePagesSitOnTheirTabsAndFollowTheDriverEveryTick) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    PanelForms forms;
    TKXBW3_Main* form = forms.Main();
    EXPECT_EQ(form->itsCommsA->GetParent(), form->TabComms);
    EXPECT_EQ(form->itsCommsB->GetParent(), form->TabComms);
    EXPECT_EQ(form->itsSenseA->GetParent(), form->TabSense);
    EXPECT_EQ(form->itsOutputA->GetParent(), form->TabOutput);
    EXPECT_EQ(form->itsEdge->GetParent(), form->TabEdge);
    EXPECT_EQ(form->itsLinearity->GetParent(), form->TabMonitor);
    EXPECT_EQ(form->itsLinearity->GetAlign(), alBottom);
    const int hw = form->TabComms->GetClientWidth() / 2;
    const int hh = form->TabComms->GetClientHeight() / 2;
    const int m = hw / 20;
    EXPECT_EQ(form->itsCommsA->GetBoundsRect().Left, m);
    EXPECT_EQ(form->itsCommsA->GetBoundsRect().Top, hh + m);
    EXPECT_EQ(form->itsCommsB->GetBoundsRect().Left, hw + m);
    EXPECT_EQ(form->itsCommsB->GetHeight(), 2 * hh - 2 * m);

    forms.Tick();
    ASSERT_TRUE(WaitFor([&] { return driver.GetBool("Comm", "Advanced"); }));
    ASSERT_TRUE(driver.Set("Comm", "Port", "9"));
    ASSERT_TRUE(driver.Set("Edge", "TopGain", "1.0"));
    ASSERT_TRUE(driver.Set("DeWiggle", "Inner", "0.3"));
    ASSERT_TRUE(driver.Set("Sense", "PressRatio", "0.3"));
    forms.Tick();
    EXPECT_EQ(form->itsCommsA->CommsStatusMemo->GetCaptions()->GetString(3), "USB");
    EXPECT_TRUE(form->itsCommsB->USBPanel->GetVisible());
    EXPECT_EQ(form->itsEdge->TopGain->GetPosition(), 50);
    EXPECT_EQ(form->itsLinearity->DeWiggleInner->GetPosition(), 30);
    EXPECT_EQ(form->itsSenseA->PressRatio->GetPosition(), 30);

    const std::pair<TTabSheet*, TFrame*> tabs[] = {
        {form->TabComms, form->itsCommsA}, {form->TabComms, form->itsCommsB},
        {form->TabSense, form->itsSenseA}, {form->TabOutput, form->itsOutputA},
        {form->TabEdge, form->itsEdge},    {form->TabMonitor, form->itsLinearity}};
    for (const auto& [tab, frame] : tabs) {
        form->PageMain->SelectTabAsUser(tab->GetPageIndex());
        for (const auto& [otherTab, other] : tabs)
            EXPECT_EQ(other->GetEnabled(), otherTab == tab) << tab->GetCaption();
    }
}

} // namespace
