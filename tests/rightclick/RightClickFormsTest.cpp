// The right-click program's two forms in this process, with the scripted driver as the store's
// master in a second process. Timer ticks are called directly; store polls run while the tests
// wait with the Qt event loop.
#include "rightclick/KX3_OutputPanelA.h"
#include "rightclick/RightClickUnit.h"
#include "rightclick/TKX3_RightClickUnit.h"

#include "control/KXB3_OutputA.h"
#include "platform/WindowServices.h"
#include "store/ShareManBase.h"
#include "store/ShareManager.h"
#include "tests/control/support/DriverProcess.h"

#include <QIcon>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

using platform::RecordingWindowServices;

class RightClickFormsTest : public testing::Test {
protected:
    // The program's start-up: both forms, then the main form shown by the application.
    void CreateForms() {
        KX3_RightClickUnit = new TKX3_RightClickUnit(nullptr);
        RightClickForm = new TRightClickForm(nullptr);
        KX3_RightClickUnit->Show();
    }

    // The application's end: the window first, then the main form.
    void TearDown() override {
        delete RightClickForm;
        RightClickForm = nullptr;
        delete KX3_RightClickUnit;
        KX3_RightClickUnit = nullptr;
        EXPECT_FALSE(TShareManBase::GetShareManBase()->GetActive());
    }

    void FirstTick() { KX3_RightClickUnit->OneHzTimerTimer(nullptr); }
    void PanelTick() { RightClickForm->KX3_OutputPanel1->DoPoll(nullptr); }

    DriverProcess driver;
};

TEST_F(RightClickFormsTest, FirstTickStartsTheStoreAppliesStoredBoundsAndHidesTheMainForm) {
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(driver.Set("Output", "RC_Panel_X", "222"));
    ASSERT_TRUE(driver.Set("Output", "RC_Panel_Y", "111"));
    ASSERT_TRUE(driver.Set("Output", "RC_Panel_W", "190"));
    ASSERT_TRUE(driver.SetSilent("Output", "RC_Panel_H", "120"));
    CreateForms();
    EXPECT_TRUE(KX3_RightClickUnit->GetVisible());
    EXPECT_FALSE(RightClickForm->GetVisible());
    EXPECT_FALSE(KX3_RightClickUnit->itsShareManager->GetActive());

    FirstTick();
    EXPECT_TRUE(KX3_RightClickUnit->itsShareManager->GetActive());
    EXPECT_FALSE(KX3_RightClickUnit->itsShareManager->GetMaster()) << "joins as a slave";
    EXPECT_EQ(driver.GetInt("Output", "RC_Panel_X"), 222);
    EXPECT_FALSE(KX3_RightClickUnit->GetVisible());
    EXPECT_FALSE(RightClickForm->GetVisible());
    const tk::TRect want{222, 111, 222 + 190, 111 + 120};
    EXPECT_EQ(RightClickForm->GetBoundsRect(), want);

    // Later ticks change nothing: the main form stays where it is, shown or not.
    KX3_RightClickUnit->Show();
    FirstTick();
    EXPECT_TRUE(KX3_RightClickUnit->GetVisible());
    EXPECT_EQ(driver.Command("slaves"), "value 1");
}

// Without a driver the first tick finds nothing stored and gives the window empty bounds; the
// driver announces its bounds when it starts, and the window follows.
TEST_F(RightClickFormsTest, DriverStartedLaterMovesTheWindowToItsBounds) {
    CreateForms();
    FirstTick();
    EXPECT_EQ(RightClickForm->GetBoundsRect(), (tk::TRect{0, 0, 0, 0}));
    ASSERT_TRUE(driver.Start());
    EXPECT_TRUE(WaitFor([] { return RightClickForm->GetWidth() == 180; }));
    EXPECT_EQ(RightClickForm->GetBoundsRect(), (tk::TRect{15, 76, 195, 176}));
    ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
    PanelTick();
    EXPECT_TRUE(RightClickForm->GetVisible());
}

TEST_F(RightClickFormsTest, WindowComesAndGoesWithTheDriversVariables) {
    ASSERT_TRUE(driver.Start());
    CreateForms();
    FirstTick();
    PanelTick();
    EXPECT_FALSE(RightClickForm->GetVisible()) << "right-click emulation is off at first";

    ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
    PanelTick();
    ASSERT_TRUE(RightClickForm->GetVisible());
    EXPECT_EQ(driver.GetInt("Output", "RC_Panel_W"), RightClickForm->GetWidth());

    ASSERT_TRUE(driver.Set("Calib", "Busy", "1"));
    PanelTick();
    EXPECT_FALSE(RightClickForm->GetVisible()) << "hidden while calibrating";
    ASSERT_TRUE(driver.Set("Calib", "Busy", "0"));
    PanelTick();
    EXPECT_TRUE(RightClickForm->GetVisible()) << "back after calibration";

    driver.Stop();
    PanelTick();
    EXPECT_FALSE(RightClickForm->GetVisible()) << "hidden once the driver is gone";
}

TEST_F(RightClickFormsTest, EachShowHidesTheTaskbarButtonAgain) {
    ASSERT_TRUE(driver.Start());
    CreateForms();
    FirstTick();
    ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
    for (int shown = 1; shown <= 2; ++shown) {
        PanelTick();
        PanelTick(); // a tick that finds the window shown already shows nothing
        ASSERT_TRUE(RightClickForm->GetVisible());
        const auto calls =
            TestWindowServices().CallsOf(RecordingWindowServices::CallKind::HideTaskbarButton);
        ASSERT_EQ(calls.size(), static_cast<size_t>(shown));
        EXPECT_EQ(calls.back().Window, RightClickForm->GetHandle());
        RightClickForm->Close();
        EXPECT_FALSE(RightClickForm->GetVisible());
        ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
    }
}

TEST_F(RightClickFormsTest, BoundsAnnouncedByAnotherProgramResizeTheWindow) {
    ASSERT_TRUE(driver.Start());
    CreateForms();
    FirstTick();
    ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
    PanelTick();
    // The panel's own timer runs while the test waits; its silent publication can overwrite
    // an announcement not yet polled, so the width is announced again until it is seen.
    EXPECT_TRUE(WaitFor([&] {
        if (driver.GetInt("Output", "RC_Panel_W") != 260) {
            driver.Set("Output", "RC_Panel_W", "260");
        }
        return RightClickForm->GetWidth() == 260;
    }));
    EXPECT_EQ(RightClickForm->GetLeft(), 15);

    // The window's own, silent, publication comes back as no change.
    RightClickForm->SetBounds(300, 200, 150, 90);
    PanelTick();
    PumpEvents(300);
    EXPECT_EQ(RightClickForm->GetBoundsRect(), (tk::TRect{300, 200, 450, 290}));
    EXPECT_EQ(driver.GetInt("Output", "RC_Panel_Y"), 200);
}

TEST_F(RightClickFormsTest, ClosingWhileCalibratingLeavesRightClickOn) {
    ASSERT_TRUE(driver.Start());
    CreateForms();
    FirstTick();
    ASSERT_TRUE(driver.Set("Output", "RC_Enabled", "1"));
    PanelTick();
    ASSERT_TRUE(driver.Set("Calib", "Busy", "1"));
    RightClickForm->Close();
    EXPECT_FALSE(RightClickForm->GetVisible());
    EXPECT_TRUE(driver.GetBool("Output", "RC_Enabled"));

    ASSERT_TRUE(driver.Set("Calib", "Busy", "0"));
    PanelTick();
    EXPECT_TRUE(RightClickForm->GetVisible()) << "comes back on the next tick";
    RightClickForm->Close();
    EXPECT_FALSE(RightClickForm->GetVisible());
    EXPECT_FALSE(driver.GetBool("Output", "RC_Enabled"));
    PanelTick();
    EXPECT_FALSE(RightClickForm->GetVisible());
}

// The control panel's Mouse page and the window switch the same variable: ticking the box
// shows the window, closing the window clears the box.
TEST_F(RightClickFormsTest, MousePageSeesTheWindowsCloseAsTheBoxClearing) {
    ASSERT_TRUE(driver.Start());
    tk::TForm panelForm(nullptr);
    auto* mousePage = new TKXBW3_OutputA(&panelForm);
    CreateForms();
    FirstTick();
    ASSERT_TRUE(WaitFor([&] { return mousePage->RightClickEnableCheckBox->GetEnabled(); }))
        << "the driver offers right-click emulation";
    mousePage->RightClickEnableCheckBox->SetChecked(true);
    EXPECT_TRUE(driver.GetBool("Output", "RC_Enabled"));
    PanelTick();
    ASSERT_TRUE(RightClickForm->GetVisible());

    RightClickForm->Close();
    EXPECT_TRUE(WaitFor([&] { return !mousePage->RightClickEnableCheckBox->GetChecked(); }));
    EXPECT_FALSE(driver.GetBool("Output", "RC_Enabled"));
    PanelTick();
    EXPECT_FALSE(RightClickForm->GetVisible());
    delete mousePage;
}

TEST(RightClickFormStandalone, CarriesTheApplicationsIcon) {
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    tk::Application->GetIcon()->SetIcon(QIcon(picture));
    TRightClickForm form(nullptr);
    EXPECT_FALSE(form.GetIcon()->Empty());
    EXPECT_EQ(form.GetCaption(), "Right Click");
    EXPECT_FALSE(form.GetVisible());
    tk::Application->GetIcon()->SetIcon(QIcon());
}

} // namespace
