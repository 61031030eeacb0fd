// The contact and help pages and the version dialog as the main form drives them.
#include "control/KXB3_Version.h"
#include "main_test_support.h"
#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

using namespace tk;

namespace {

// The panel's forms with the version dialog in its global.
class JoinedPanel : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(itsDriver.Start());
        KXBW3_Version = &itsVersion;
        itsForms = std::make_unique<PanelForms>();
    }
    void TearDown() override {
        itsForms.reset();
        KXBW3_Version = nullptr;
    }

    void ShowTab(TTabSheet* tab) {
        Main()->PageMain->SetActivePage(tab);
        Main()->PageMainChange(Main());
    }
    TKXBW3_Main* Main() const { return itsForms->Main(); }
    int Navigations() const { return Main()->itsContact->WebBrowser->GetNavigateCount(); }

    DriverProcess itsDriver;
    TKXBW3_Version itsVersion{nullptr};
    std::unique_ptr<PanelForms> itsForms;
};

} // namespace

TEST_F(JoinedPanel, ContactViewNavigatesOnTheFirstTickAndOnTabChangesAcrossTicks) {
    EXPECT_TRUE(Main()->itsContact->GetEnabled());
    EXPECT_FALSE(Main()->itsHelp->GetEnabled());
    EXPECT_EQ(Navigations(), 1);
    itsForms->Tick();
    EXPECT_EQ(Navigations(), 2);

    ShowTab(Main()->TabMonitor);
    EXPECT_FALSE(Main()->itsContact->GetEnabled());
    itsForms->Tick();
    EXPECT_EQ(Navigations(), 3);
    ShowTab(Main()->TabContact);
    itsForms->Tick();
    EXPECT_EQ(Navigations(), 4);

    // Out and back within one tick.
    ShowTab(Main()->TabHelp);
    EXPECT_TRUE(Main()->itsHelp->GetEnabled());
    ShowTab(Main()->TabContact);
    itsForms->Tick();
    EXPECT_EQ(Navigations(), 4);
}

TEST_F(JoinedPanel, VersionDialogGetsItsVariantOnTheSecondTick) {
    ASSERT_TRUE(itsDriver.Set("Comm", "AutoDetectCom2", "1"));
    itsForms->Tick();
    EXPECT_EQ(itsVersion.DriverVariantValueLabel->GetCaption(), "");
    itsForms->Tick();
    EXPECT_EQ(itsVersion.DriverVariantValueLabel->GetCaption(), "Serial");

    // Only the "Software Version" button refreshes it after that.
    ASSERT_TRUE(itsDriver.Set("Comm", "AutoDetectUSB", "1"));
    itsForms->Tick();
    EXPECT_EQ(itsVersion.DriverVariantValueLabel->GetCaption(), "Serial");
}

TEST_F(JoinedPanel, VisibleVersionDialogIsMadeTopmostAheadOfTheAboutForm) {
    Main()->Show();
    itsVersion.Show();
    KXBW3_About->Show();
    TestWindowServices().ClearCalls();
    itsForms->Tick();
    const auto calls =
        TestWindowServices().CallsOf(platform::RecordingWindowServices::CallKind::MakeTopmost);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Window, itsVersion.GetHandle());
    KXBW3_About->Hide();
    itsVersion.Hide();
}
