// The main form and the status page against the stand-in driver running as a second process.
#include "main_test_support.h"

#include "platform/Kernel.h"
#include "tests/control/support/DriverProcess.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace tk;

namespace {

std::string BeatCaption(const PanelForms& forms) {
    return forms.Status()->BeatPanel->GetCaption();
}

std::string ExeDir() {
    const std::string exe = platform::GetModuleFileName();
    return exe.substr(0, exe.rfind('/') + 1);
}

// After the first tick the panel flushes the LockCalibrate it wrote at construction; a value the
// driver writes before that flush would be overwritten.
void WaitForFirstPoll(DriverProcess& driver) {
    ASSERT_TRUE(
        WaitFor([&] { return driver.Command("changes Status LockCalibrate") != "value 0"; }));
}

} // namespace

TEST(MainForm, ConstructionStartsTheDriverFromTheProgramDirectory) {
    PanelForms forms;
    ASSERT_EQ(TestShell().Calls.size(), 1u);
    EXPECT_EQ(TestShell().Calls[0].File, ExeDir() + "QUILBEX_Driver.exe");
    EXPECT_EQ(TestShell().Calls[0].Parameters, "");
    EXPECT_EQ(forms.Main()->GetCaption(), "Touchscreen Control Panel");
    EXPECT_EQ(Application->GetTitle(), "QUILBEX_Control");
    EXPECT_EQ(forms.Main()->GetRefreshCountdown(), 2);
    EXPECT_TRUE(forms.Main()->SlowTimer != nullptr);

    // "Start Driver" starts it again, whether or not one runs, and leaves the countdown alone.
    forms.Status()->StartDriverButton->Click();
    ASSERT_EQ(TestShell().Calls.size(), 2u);
    EXPECT_EQ(TestShell().Calls[1].File, TestShell().Calls[0].File);
    EXPECT_EQ(forms.Main()->GetRefreshCountdown(), 2);
}

TEST(MainForm, TabsOpenOnContactAndOnlyTheActiveTabsFramesAreEnabled) {
    PanelForms forms;
    TPageControl* pages = forms.Main()->PageMain;
    ASSERT_EQ(pages->GetPageCount(), 9);
    const char* captions[] = {"Connection", "Sensitivity", "Calibration", "Mouse", "Graph",
                              "Monitor",    "Edge Gain",   "Contact",     "Help"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(pages->GetPage(i)->GetCaption(), captions[i]);
    EXPECT_EQ(pages->GetActivePage(), forms.Main()->TabContact);
    EXPECT_FALSE(forms.Status()->GetEnabled());

    pages->SelectTabAsUser(forms.Main()->TabComms->GetPageIndex());
    EXPECT_TRUE(forms.Status()->GetEnabled());
    pages->SelectTabAsUser(forms.Main()->TabHelp->GetPageIndex());
    EXPECT_FALSE(forms.Status()->GetEnabled());
}

TEST(MainForm, StatusFrameTakesTheTopLeftQuarterAndItsGrid) {
    PanelForms forms;
    const int hw = forms.Main()->TabComms->GetClientWidth() / 2;
    const int hh = forms.Main()->TabComms->GetClientHeight() / 2;
    const int m = hw / 20;
    ASSERT_GT(hw, 0);
    TKXBW3_Status* status = forms.Status();
    EXPECT_EQ(status->GetBoundsRect(), Rect(m, m, hw - m, hh - m));

    const int cw = status->HeartBeatGroup->GetWidth() / 11;
    const int ch = status->HeartBeatGroup->GetHeight() / 12;
    ASSERT_GT(cw, 0);
    EXPECT_EQ(status->BeatPanel->GetBoundsRect(), Rect(cw, 2 * ch, 5 * cw, 6 * ch));
    EXPECT_EQ(status->ResetDriverButton->GetBoundsRect(), Rect(6 * cw, 2 * ch, 10 * cw, 6 * ch));
    EXPECT_EQ(status->StopDriverButton->GetBoundsRect(), Rect(cw, 7 * ch, 5 * cw, 11 * ch));
    EXPECT_EQ(status->StartDriverButton->GetBoundsRect(), Rect(6 * cw, 7 * ch, 10 * cw, 11 * ch));
}

TEST(MainForm, PresenceShowsOnTheNextTick) {
    PanelForms forms;
    forms.Tick();
    EXPECT_TRUE(forms.Main()->GetSharingStarted());
    EXPECT_EQ(BeatCaption(forms), "Driver Not Present");
    EXPECT_EQ(forms.Status()->BeatPanel->GetColor(), RGB(255, 0, 0));

    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    forms.Tick();
    EXPECT_EQ(BeatCaption(forms), "Driver Present");
    EXPECT_EQ(forms.Status()->BeatPanel->GetColor(), RGB(0, 255, 0));

    driver.Stop();
    forms.Tick();
    EXPECT_EQ(BeatCaption(forms), "Driver Not Present");
}

TEST(MainForm, RefreshCountsDownOverTheFirstTwoTicks) {
    PanelForms forms;
    forms.Tick();
    EXPECT_EQ(forms.Main()->GetRefreshCountdown(), 1);
    forms.Tick();
    EXPECT_EQ(forms.Main()->GetRefreshCountdown(), 0);
    forms.Tick();
    EXPECT_EQ(forms.Main()->GetRefreshCountdown(), 0);
}

TEST(MainForm, CommandsArriveAsCounterIncrements) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    PanelForms forms;
    forms.Tick();

    // Three presses between two polls raise the counter by three.
    for (int i = 0; i < 3; ++i)
        forms.Status()->ResetDriverButton->Click();
    EXPECT_EQ(driver.GetInt("Status", "Reset"), 3);
    EXPECT_TRUE(WaitFor([&] { return driver.Acted("Reset") >= 1; }));

    forms.Status()->SaveSettings();
    forms.Status()->LoadSettings();
    EXPECT_EQ(driver.GetInt("Status", "Save"), 1);
    EXPECT_EQ(driver.GetInt("Status", "Load"), 1);
    EXPECT_TRUE(WaitFor([&] { return driver.Acted("Save") == 1 && driver.Acted("Load") == 1; }));

    // The counter wraps like a 32-bit integer.
    ASSERT_TRUE(driver.Set("Status", "Save", "2147483647"));
    forms.Status()->SaveSettings();
    EXPECT_EQ(driver.GetInt("Status", "Save"), -2147483647 - 1);
}

TEST(MainForm, ExitButtonSaysSaveOnlyWhileDirtyAndThePresentDriver) {
    PanelForms forms;
    EXPECT_EQ(forms.Main()->SaveAndExitButton->GetCaption(), "Exit");
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    forms.Tick();
    EXPECT_EQ(forms.Main()->SaveAndExitButton->GetCaption(), "Exit");

    ASSERT_TRUE(driver.Set("Status", "Dirty", "1"));
    forms.Tick();
    EXPECT_EQ(forms.Main()->SaveAndExitButton->GetCaption(), "Save and Exit");

    // Dirty stays set in the store, but without a driver there is nothing to save.
    driver.Stop();
    forms.Tick();
    EXPECT_TRUE(forms.Status()->GetDirty());
    EXPECT_EQ(forms.Main()->SaveAndExitButton->GetCaption(), "Exit");
}

TEST(MainForm, StopDriverSendsTerminateThenClearsDirtySilently) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    DriverProcess watcher(DriverProcess::Role::Slave);
    ASSERT_TRUE(watcher.Start());
    PanelForms forms;
    forms.Tick();
    ModalAnswer noSave(KXBW3_Save, KXBW3_Save->CancelButton);

    // Dirty false: no prompt; pressed twice before the tick, Terminate goes out once.
    forms.Status()->StopDriverButton->Click();
    forms.Status()->StopDriverButton->Click();
    EXPECT_EQ(noSave.Count(), 0);
    EXPECT_EQ(watcher.GetInt("Status", "Terminate"), 0);
    forms.Tick();
    EXPECT_EQ(watcher.GetInt("Status", "Terminate"), 1);
    EXPECT_TRUE(driver.WaitForExit());
    EXPECT_EQ(driver.ExitCode(), 0);

    ASSERT_TRUE(watcher.Set("Status", "Dirty", "1"));
    forms.Tick();
    EXPECT_FALSE(watcher.GetBool("Status", "Dirty"));
    EXPECT_EQ(watcher.GetInt("Status", "Terminate"), 1);
}

TEST(MainForm, StopDriverOffersToSaveWhileDirty) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    // Reads Terminate where it cannot vanish: the driver may act on it and exit at once.
    DriverProcess watcher(DriverProcess::Role::Slave);
    ASSERT_TRUE(watcher.Start());
    PanelForms forms;
    forms.Tick();
    ASSERT_TRUE(driver.Set("Status", "Dirty", "1"));

    {
        ModalAnswer yes(KXBW3_Save, KXBW3_Save->OKButton);
        forms.Status()->StopDriverButton->Click();
        EXPECT_EQ(yes.Count(), 1);
    }
    EXPECT_EQ(driver.GetInt("Status", "Save"), 1);
    forms.Tick();
    EXPECT_EQ(watcher.GetInt("Status", "Terminate"), 1);
    EXPECT_TRUE(driver.WaitForExit());
    // Dirty is written false locally on the tick after Terminate.
    EXPECT_TRUE(forms.Status()->GetDirty());
    forms.Tick();
    EXPECT_FALSE(forms.Status()->GetDirty());
}

TEST(MainForm, CloseIsRefusedAndExitFollowsTwoTicksAfterConfirming) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    PanelForms forms;
    forms.Main()->Show();
    forms.Tick();
    ASSERT_TRUE(driver.Set("Status", "Dirty", "1"));

    // Accepting the save prompt, then declining the exit prompt: saved, still running.
    {
        ModalAnswer yes(KXBW3_Save, KXBW3_Save->OKButton);
        ModalAnswer no(KXBW3_Exit, KXBW3_Exit->CancelButton);
        forms.Main()->Close();
        EXPECT_EQ(yes.Count(), 1);
        EXPECT_EQ(no.Count(), 1);
    }
    EXPECT_TRUE(forms.Main()->GetVisible());
    EXPECT_EQ(forms.Main()->GetExitState(), 0);
    EXPECT_EQ(driver.GetInt("Status", "Save"), 1);

    // Declining the save prompt and confirming the exit.
    {
        ModalAnswer no(KXBW3_Save, KXBW3_Save->CancelButton);
        ModalAnswer yes(KXBW3_Exit, KXBW3_Exit->OKButton);
        forms.Main()->SaveAndExitButton->Click();
        EXPECT_EQ(no.Count(), 1);
        EXPECT_EQ(yes.Count(), 1);
    }
    EXPECT_EQ(driver.GetInt("Status", "Save"), 1);
    EXPECT_EQ(forms.Main()->GetExitState(), 1);
    ASSERT_TRUE(driver.Set("Status", "LockCalibrate", "5"));

    // Only the control panel is a slave and settings are dirty: the driver reverts.
    forms.Tick();
    EXPECT_EQ(forms.Main()->GetExitState(), 2);
    EXPECT_EQ(driver.GetInt("Status", "LockCalibrate"), 0);
    EXPECT_EQ(driver.GetInt("Status", "Load"), 1);
}

TEST(MainForm, ExitSendsNoLoadWhileAnotherSlaveRuns) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    DriverProcess otherProgram(DriverProcess::Role::Slave);
    ASSERT_TRUE(otherProgram.Start());
    PanelForms forms;
    forms.Tick();
    ASSERT_TRUE(driver.Set("Status", "Dirty", "1"));
    ASSERT_EQ(forms.Main()->ShareManager1->GetSlaveCount(), 2);
    {
        ModalAnswer no(KXBW3_Save, KXBW3_Save->CancelButton);
        ModalAnswer yes(KXBW3_Exit, KXBW3_Exit->OKButton);
        forms.Main()->SaveAndExitButton->Click();
    }
    forms.Tick();
    EXPECT_EQ(forms.Main()->GetExitState(), 2);
    EXPECT_EQ(driver.GetInt("Status", "Load"), 0);
}

// A slave that crashed is no longer counted, so the panel is again the one slave and reverts.
TEST(MainForm, ExitSendsLoadAfterTheOtherSlaveCrashed) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    DriverProcess crashing(DriverProcess::Role::Slave);
    ASSERT_TRUE(crashing.Start());
    PanelForms forms;
    forms.Tick();
    ASSERT_TRUE(driver.Set("Status", "Dirty", "1"));
    ASSERT_TRUE(WaitFor([&] { return driver.Command("slaves") == "value 2"; }));
    crashing.Kill();
    ASSERT_TRUE(WaitFor([&] { return forms.Main()->ShareManager1->GetSlaveCount() == 1; }));
    {
        ModalAnswer no(KXBW3_Save, KXBW3_Save->CancelButton);
        ModalAnswer yes(KXBW3_Exit, KXBW3_Exit->OKButton);
        forms.Main()->SaveAndExitButton->Click();
    }
    forms.Tick();
    EXPECT_EQ(forms.Main()->GetExitState(), 2);
    EXPECT_TRUE(WaitFor([&] { return driver.Acted("Load") == 1; }));
}

TEST(MainForm, CalibrationLockPinsTheTabAndStartsOnce) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    PanelForms forms;
    TPageControl* pages = forms.Main()->PageMain;
    forms.Tick();
    WaitForFirstPoll(driver);
    EXPECT_EQ(forms.Main()->GetAutoCalibState(), 0);

    // First seen while Contact is shown: the Calibration tab opens and the run starts at once.
    ASSERT_TRUE(driver.Set("Status", "LockCalibrate", "1"));
    forms.Tick();
    EXPECT_EQ(pages->GetActivePage(), forms.Main()->TabCalib);
    EXPECT_EQ(forms.Main()->GetAutoCalibState(), 2);
    EXPECT_TRUE(KXBW3_CalibScreen->GetVisible());
    EXPECT_TRUE(driver.GetBool("Calib", "Start"));
    KXBW3_CalibScreen->Hide();
    ASSERT_TRUE(driver.Set("Calib", "Start", "0"));

    // While the lock holds, choosing another tab comes straight back.
    pages->SelectTabAsUser(forms.Main()->TabComms->GetPageIndex());
    EXPECT_EQ(pages->GetActivePage(), forms.Main()->TabCalib);
    EXPECT_FALSE(forms.Status()->GetEnabled());

    // Lock released: tabs are free again; a later lock only pins the tab.
    ASSERT_TRUE(driver.Set("Status", "LockCalibrate", "0"));
    pages->SelectTabAsUser(forms.Main()->TabComms->GetPageIndex());
    EXPECT_EQ(pages->GetActivePage(), forms.Main()->TabComms);
    EXPECT_TRUE(forms.Status()->GetEnabled());
    ASSERT_TRUE(driver.Set("Status", "LockCalibrate", "1"));
    forms.Tick();
    EXPECT_EQ(pages->GetActivePage(), forms.Main()->TabCalib);
    EXPECT_EQ(forms.Main()->GetAutoCalibState(), 2);
    EXPECT_FALSE(KXBW3_CalibScreen->GetVisible());
    EXPECT_FALSE(driver.GetBool("Calib", "Start"));
}

TEST(MainForm, CalibrationLockSeenOnTheCalibrationTabWaitsUntilTheTabIsLeft) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    PanelForms forms;
    TPageControl* pages = forms.Main()->PageMain;
    forms.Tick();
    WaitForFirstPoll(driver);
    pages->SelectTabAsUser(forms.Main()->TabCalib->GetPageIndex());

    ASSERT_TRUE(driver.Set("Status", "LockCalibrate", "1"));
    forms.Tick();
    EXPECT_EQ(forms.Main()->GetAutoCalibState(), 0);

    EXPECT_FALSE(driver.GetBool("Calib", "Start"));

    pages->SelectTabAsUser(forms.Main()->TabHelp->GetPageIndex());
    EXPECT_EQ(pages->GetActivePage(), forms.Main()->TabCalib);
    EXPECT_EQ(forms.Main()->GetAutoCalibState(), 2);
    EXPECT_TRUE(driver.GetBool("Calib", "Start"));
}

TEST(MainForm, LockIsZeroBeforeActivationAndTheDriversLockHoldsAfter) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    ASSERT_TRUE(driver.Set("Status", "LockCalibrate", "1"));
    PanelForms forms;
    // Before the store is active the panel reads the 0 it wrote itself: nothing is pinned.
    EXPECT_EQ(forms.Status()->GetLockCalibrate(), 0);
    forms.Main()->PageMainChange(forms.Main());
    EXPECT_EQ(forms.Main()->PageMain->GetActivePage(), forms.Main()->TabContact);

    // Once active, reading takes the driver's value, and the held write carries it back.
    forms.Tick();
    EXPECT_EQ(forms.Main()->PageMain->GetActivePage(), forms.Main()->TabCalib);
    WaitForFirstPoll(driver);
    EXPECT_EQ(driver.GetInt("Status", "LockCalibrate"), 1);
}

TEST(MainForm, TopmostRuleFollowsItsPriority) {
    PanelForms forms;
    auto& calls = TestWindowServices();
    auto topmost = [&] {
        return calls.CallsOf(platform::RecordingWindowServices::CallKind::MakeTopmost);
    };

    forms.Tick();
    EXPECT_TRUE(topmost().empty()) << "no candidate is visible";

    forms.Main()->Show();
    calls.ClearCalls();
    forms.Tick();
    ASSERT_EQ(topmost().size(), 1u);
    EXPECT_EQ(topmost()[0].Window, forms.Main()->GetHandle());
    EXPECT_EQ(topmost()[0].Flags, 3u | platform::WindowPosNoRestack)
        << "the main form never takes turns on top with the Right Click window";

    KXBW3_CalibScreen->Show();
    calls.ClearCalls();
    forms.Tick();
    ASSERT_EQ(topmost().size(), 1u);
    EXPECT_EQ(topmost()[0].Window, KXBW3_CalibScreen->GetHandle());
    EXPECT_EQ(topmost()[0].Flags, 3u) << "the calibration screen comes back above others";

    KXBW3_About->Show();
    calls.ClearCalls();
    forms.Tick();
    ASSERT_EQ(topmost().size(), 1u);
    EXPECT_EQ(topmost()[0].Window, KXBW3_About->GetHandle());

    KXBW3_Version->Show();
    calls.ClearCalls();
    forms.Tick();
    ASSERT_EQ(topmost().size(), 1u);
    EXPECT_EQ(topmost()[0].Window, KXBW3_Version->GetHandle());

    KXBW3_Exit->Show();
    calls.ClearCalls();
    forms.Tick();
    ASSERT_EQ(topmost().size(), 1u);
    EXPECT_EQ(topmost()[0].Window, KXBW3_Exit->GetHandle());
    KXBW3_Exit->Hide();
    KXBW3_Version->Hide();
    KXBW3_About->Hide();

    // While the manual or the licence form is open, no window is made topmost.
    KXBW3_License->Show();
    calls.ClearCalls();
    forms.Tick();
    EXPECT_TRUE(topmost().empty());
    KXBW3_License->Hide();
    KXBW3_UserManual->Show();
    forms.Tick();
    EXPECT_TRUE(topmost().empty());
    KXBW3_UserManual->Hide();
}

TEST(StatusFrame, DirtyAndPresenceEventsFireOnChangesOnly) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    PanelForms forms;
    int dirtyEvents = 0;
    int presenceEvents = 0;
    forms.Status()->OnDirtyChange = [&](TObject*) { ++dirtyEvents; };
    forms.Status()->OnDriverPresentChange = [&](TObject*) { ++presenceEvents; };
    forms.Tick();
    forms.Tick();
    EXPECT_EQ(presenceEvents, 1);

    ASSERT_TRUE(driver.Set("Status", "Dirty", "1"));
    ASSERT_TRUE(WaitFor([&] { return dirtyEvents == 1; }));
    ASSERT_TRUE(driver.Set("Status", "Dirty", "1"));
    ASSERT_TRUE(WaitFor([&] { return driver.Command("changes Status Dirty") == "value 2"; }));
    PumpEvents(100);
    EXPECT_EQ(dirtyEvents, 1) << "an unchanged value raises nothing";

    // The panel's own write of Dirty is silent: no process sees a change.
    forms.Status()->SetDirty(false);
    EXPECT_FALSE(driver.GetBool("Status", "Dirty"));
    PumpEvents(150);
    EXPECT_EQ(driver.Command("changes Status Dirty"), "value 2");
    EXPECT_EQ(dirtyEvents, 1);

    driver.Stop();
    forms.Tick();
    EXPECT_EQ(presenceEvents, 2);
}
