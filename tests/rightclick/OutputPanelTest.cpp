// The right-click panel on a form, with this test process as the store's master (or, for the
// driver-absent case, as a slave with no master). A second variable set of the test's own
// stands for the driver and the control panel: it writes the switches and watches the bounds.
#include "rightclick/KX3_OutputPanelA.h"

#include "platform/WindowServices.h"
#include "store/ShareManBase.h"
#include "store/ShareVarPoly.h"
#include "tests/control/support/DriverProcess.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

using platform::RecordingWindowServices;
using tk::TForm;

namespace {

class OutputPanelTest : public testing::Test {
protected:
    void SetUp() override {
        form = new TForm(nullptr);
        form->SetBounds(15, 76, 180, 100);
        panel = new TKX3_OutputPanelA(form);
        peer = std::make_unique<TShareVarPoly>(nullptr);
        for (const char* name : {"RC_Available", "RC_Enabled"}) {
            vars[name] = peer->AddItem("Output", name, "Bool", 1, CountChange(name), {}, false);
        }
        for (const char* name : {"RC_Timer", "RC_TimeMilliSecs", "RC_Panel_X", "RC_Panel_Y",
                                 "RC_Panel_W", "RC_Panel_H"}) {
            vars[name] = peer->AddItem("Output", name, "Int", 1, CountChange(name), {}, false);
        }
        vars["Busy"] = peer->AddItem("Calib", "Busy", "Bool", 1, {}, {}, false);
    }

    void TearDown() override {
        delete form;
        peer.reset(); // the last variable: the store deactivates and its manager goes
    }

    tk::TNotifyEvent CountChange(const std::string& name) {
        return [this, name](tk::TObject*) { ++changes[name]; };
    }

    void Activate(bool asMaster) {
        TShareManBase* manager = TShareManBase::GetShareManBase();
        manager->SetMaster(asMaster);
        manager->SetActive(true);
        ASSERT_TRUE(manager->GetActive());
        Poll();
    }

    // One store poll tick, as the poll thread would hand it over.
    static void Poll() { TShareManBase::GetShareManBase()->DoPoll(nullptr); }

    // Everything that calls for the window: available, switched on, no calibration.
    void CallForWindow() {
        vars["RC_Available"]->SetValueBool(true);
        vars["RC_Enabled"]->SetValueBool(true);
        vars["Busy"]->SetValueBool(false);
    }

    int Int(const char* name) { return vars[name]->GetValueInt(); }

    TForm* form = nullptr;
    TKX3_OutputPanelA* panel = nullptr;
    std::unique_ptr<TShareVarPoly> peer;
    std::map<std::string, TShareVarBase*> vars;
    std::map<std::string, int> changes;
};

TEST_F(OutputPanelTest, DriverAbsentKeepsTheWindowHiddenAndPublishesNothing) {
    Activate(false);
    CallForWindow();
    vars["RC_Timer"]->SetValueInt(0);
    form->SetBounds(-40, 900, 180, 100);
    panel->DoPoll(nullptr);
    EXPECT_FALSE(form->GetVisible());
    EXPECT_TRUE(TestWindowServices().Calls().empty());
    EXPECT_EQ(Int("RC_Panel_X"), 0);
    EXPECT_EQ(Int("RC_Panel_Y"), 0);
    EXPECT_EQ(form->GetLeft(), -40) << "an unshown window is not clamped";
}

TEST_F(OutputPanelTest, VisibilityFollowsTheSwitchesAndCalibration) {
    Activate(true);
    panel->DoPoll(nullptr);
    EXPECT_FALSE(form->GetVisible()) << "everything false";

    CallForWindow();
    panel->DoPoll(nullptr);
    EXPECT_TRUE(form->GetVisible());

    vars["Busy"]->SetValueBool(true);
    panel->DoPoll(nullptr);
    EXPECT_FALSE(form->GetVisible()) << "calibration busy";
    vars["Busy"]->SetValueBool(false);
    panel->DoPoll(nullptr);
    EXPECT_TRUE(form->GetVisible()) << "calibration over";

    vars["RC_Enabled"]->SetValueBool(false);
    panel->DoPoll(nullptr);
    EXPECT_FALSE(form->GetVisible()) << "switched off";
    vars["RC_Enabled"]->SetValueBool(true);
    vars["RC_Available"]->SetValueBool(false);
    panel->DoPoll(nullptr);
    EXPECT_FALSE(form->GetVisible()) << "not offered by the driver";
}

TEST_F(OutputPanelTest, ShownWindowIsMadeTopmostWithoutActivationOnEveryTick) {
    Activate(true);
    CallForWindow();
    panel->DoPoll(nullptr);
    panel->DoPoll(nullptr);
    const auto calls = TestWindowServices().CallsOf(RecordingWindowServices::CallKind::MakeTopmost);
    ASSERT_EQ(calls.size(), 2u);
    for (const auto& call : calls) {
        EXPECT_EQ(call.Window, form->GetHandle());
        EXPECT_EQ(call.Flags, 19u); // no move, no size, no activation
    }
}

TEST_F(OutputPanelTest, ColourFollowsTheRightClickTimer) {
    Activate(true);
    form->SetColor(tk::clBtnFace);
    const std::pair<int, tk::TColor> cases[] = {
        {1, tk::clLime}, {0, tk::clBtnFace}, {250, tk::clLime}, {-3, tk::clBtnFace}};
    for (const auto& [timer, colour] : cases) {
        vars["RC_Timer"]->SetValueIntX(timer);
        panel->DoRCTimerPoll(nullptr);
        EXPECT_EQ(form->GetColor(), colour) << "RC_Timer " << timer;
    }
    // The store fires it on every poll, whether the window shows or not.
    vars["RC_Timer"]->SetValueIntX(5);
    Poll();
    EXPECT_EQ(form->GetColor(), tk::clLime);
    EXPECT_FALSE(form->GetVisible());
}

// The rules run in order on a 1024 x 768 screen; each case is start bounds -> end bounds, with
// the frame the window manager reports around the client area (none unless given).
TEST_F(OutputPanelTest, ShownWindowIsKeptOnTheScreen) {
    Activate(true);
    CallForWindow();
    TestWindowServices().SetScreenSize(1024, 768);
    struct Case {
        int left, top, width, height, wantLeft, wantTop;
        platform::FrameExtents frame{};
    };
    const Case cases[] = {
        {-30, 50, 180, 100, 0, 50},     // partly off the left edge
        {40, -12, 180, 100, 40, 0},     // partly off the top edge
        {-30, -12, 180, 100, 0, 0},     // off both
        {900, 50, 180, 100, 844, 50},   // past the right edge
        {40, 700, 180, 100, 40, 668},   // past the bottom edge
        {844, 668, 180, 100, 844, 668}, // edges exactly on the screen's edges
        {10, 10, 2000, 100, -976, 10},  // wider than the screen
        {-50, 10, 2000, 100, -976, 10}, // wider, and off the left edge too
        {10, -5, 180, 900, 10, -132},   // taller than the screen
        // past both edges with a frame 1, 1, 22, 5 (left, right, top, bottom): the frame of
        // 182 x 127 ends on the edges
        {900, 700, 180, 100, 842, 641, {1, 1, 22, 5}},
    };
    for (const Case& c : cases) {
        TestWindowServices().SetFrameExtents(c.frame);
        form->SetBounds(c.left, c.top, c.width, c.height);
        panel->DoPoll(nullptr);
        EXPECT_EQ(form->GetLeft(), c.wantLeft) << c.left << "," << c.top << " " << c.width;
        EXPECT_EQ(form->GetTop(), c.wantTop) << c.left << "," << c.top << " " << c.width;
        EXPECT_EQ(form->GetWidth(), c.width);
        EXPECT_EQ(form->GetHeight(), c.height);
        EXPECT_EQ(Int("RC_Panel_X"), c.wantLeft) << "the clamped bounds are published";
        EXPECT_EQ(Int("RC_Panel_Y"), c.wantTop);
    }
    TestWindowServices().SetFrameExtents({});
}

TEST_F(OutputPanelTest, BoundsArePublishedSilently) {
    Activate(true);
    CallForWindow();
    panel->DoPoll(nullptr);
    form->SetBounds(100, 120, 200, 110); // the user moves and resizes the window
    panel->DoPoll(nullptr);
    EXPECT_EQ(Int("RC_Panel_X"), 100);
    EXPECT_EQ(Int("RC_Panel_Y"), 120);
    EXPECT_EQ(Int("RC_Panel_W"), 200);
    EXPECT_EQ(Int("RC_Panel_H"), 110);
    Poll();
    Poll();
    for (const char* name : {"RC_Panel_X", "RC_Panel_Y", "RC_Panel_W", "RC_Panel_H"}) {
        EXPECT_EQ(changes[name], 0) << name;
    }
    EXPECT_EQ(form->GetLeft(), 100);
    EXPECT_EQ(form->GetWidth(), 200);
}

TEST_F(OutputPanelTest, AnnouncedBoundsMoveTheWindowOnTheNextPoll) {
    Activate(true);
    CallForWindow();
    panel->DoPoll(nullptr);
    vars["RC_Panel_X"]->SetValueIntX(form->GetLeft());
    vars["RC_Panel_Y"]->SetValueIntX(form->GetTop());
    vars["RC_Panel_H"]->SetValueIntX(form->GetHeight());
    vars["RC_Panel_W"]->SetValueInt(260);
    EXPECT_EQ(form->GetWidth(), 180) << "not before the poll";
    Poll();
    EXPECT_EQ(changes["RC_Panel_W"], 1);
    EXPECT_EQ(form->GetWidth(), 260);
    EXPECT_EQ(form->GetLeft(), 15);

    vars["RC_Panel_X"]->SetValueInt(300);
    vars["RC_Panel_Y"]->SetValueInt(200);
    Poll();
    EXPECT_EQ(form->GetLeft(), 300);
    EXPECT_EQ(form->GetTop(), 200);
    EXPECT_EQ(form->GetWidth(), 260);
}

TEST_F(OutputPanelTest, ClosingSwitchesRightClickOffOnlyWhenInUse) {
    Activate(true);
    CallForWindow();
    panel->DoPoll(nullptr);
    vars["Busy"]->SetValueBool(true);
    panel->DoClose(nullptr);
    EXPECT_TRUE(vars["RC_Enabled"]->GetValueBool()) << "left alone while calibrating";

    vars["Busy"]->SetValueBool(false);
    vars["RC_Available"]->SetValueBool(false);
    panel->DoClose(nullptr);
    EXPECT_TRUE(vars["RC_Enabled"]->GetValueBool()) << "left alone when not offered";

    vars["RC_Available"]->SetValueBool(true);
    Poll();
    changes.clear();
    panel->DoClose(nullptr);
    EXPECT_FALSE(vars["RC_Enabled"]->GetValueBool());
    Poll();
    EXPECT_EQ(changes["RC_Enabled"], 1) << "the switch-off is announced";
    panel->DoPoll(nullptr);
    EXPECT_FALSE(form->GetVisible());
}

TEST_F(OutputPanelTest, RightClickHoldTimeIsNeverTouched) {
    Activate(true);
    vars["RC_TimeMilliSecs"]->SetValueInt(1234);
    CallForWindow();
    vars["RC_Timer"]->SetValueInt(3);
    Poll();
    panel->DoPoll(nullptr);
    panel->DoClose(nullptr);
    Poll();
    EXPECT_EQ(Int("RC_TimeMilliSecs"), 1234);
    EXPECT_EQ(changes["RC_TimeMilliSecs"], 1) << "only the test's own write";
}

// Without a form among its owners the panel does nothing, but its variables still exist.
TEST(OutputPanelWithoutForm, EveryOperationDoesNothing) {
    tk::TComponent owner(nullptr);
    auto* panel = new TKX3_OutputPanelA(&owner);
    TShareManBase* manager = TShareManBase::GetShareManBase();
    EXPECT_EQ(manager->GetRegisterCount(), 9);
    panel->DoPoll(nullptr);
    panel->DoSyncPosition(nullptr);
    panel->DoRCTimerPoll(nullptr);
    panel->DoClose(nullptr);
    EXPECT_TRUE(TestWindowServices().Calls().empty());
}

} // namespace
