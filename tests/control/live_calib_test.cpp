// The calibration page and screen: the layout figures, and a run driven by the driver's
// variables from a second process.
#include "control/KXB3_Calib.h"
#include "control/KXB3_CalibScreen.h"
#include "tests/control/live_fixture.h"
#include "tests/control/main_test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <cmath>
#include <limits>
#include <memory>
#include <utility>

using namespace tk;

namespace {

TRect BoundsOf(TControl* control) {
    return control->GetBoundsRect();
}

TRect Square(int left, int top, int side) {
    return Rect(left, top, left + side, top + side);
}

void PressKey(TForm* form, int qtKey, const char* text) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, QString::fromLatin1(text));
    QApplication::sendEvent(form->Widget(), &press);
}

// A left click in the middle of the control's face, on whatever widget lies there.
void ClickMiddle(TControl* control) {
    QWidget* widget = control->Widget();
    QPoint at(widget->width() / 2, widget->height() / 2);
    if (QWidget* child = widget->childAt(at)) {
        at = child->mapFrom(widget, at);
        widget = child;
    }
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// The calibration screen in its global for the main form, unless the forms made one already.
class ScreenInGlobal {
public:
    ScreenInGlobal() {
        if (KXBW3_CalibScreen != nullptr)
            return;
        itsScreen = std::make_unique<TKXBW3_CalibScreen>(nullptr);
        KXBW3_CalibScreen = itsScreen.get();
    }
    ~ScreenInGlobal() {
        if (itsScreen)
            KXBW3_CalibScreen = nullptr;
    }
    ScreenInGlobal(const ScreenInGlobal&) = delete;
    ScreenInGlobal& operator=(const ScreenInGlobal&) = delete;

private:
    std::unique_ptr<TKXBW3_CalibScreen> itsScreen;
};

} // namespace

// The layout alone, without the store.
TEST(CalibScreenLayout, PlacesTargetsAroundTheirFractions) {
    TKXBW3_CalibScreen screen(nullptr);
    screen.SetBounds(0, 0, 1024, 768);
    screen.SetTargetX(0, 0.0f);
    screen.SetTargetY(0, 0.0f);
    screen.SetTargetX(1, 0.1f);
    screen.SetTargetY(1, 0.1f);
    screen.SetTargetX(2, 0.9f);
    screen.SetTargetY(2, 0.9f);
    screen.SetTargetX(3, 0.5f);
    screen.SetTargetY(3, 0.5f);
    screen.SetTargetX(4, 0.7f); // ignored, like every index outside 0..3
    screen.SetTargetY(-1, 0.7f);
    screen.LayoutTargets();

    // m = 102.4 and side 204; the vertical offset also comes from the width.
    EXPECT_EQ(BoundsOf(screen.KX3_TargetGauge1), Square(-102, -102, 204));
    EXPECT_EQ(BoundsOf(screen.KX3_TargetGauge2), Square(0, -25, 204));
    EXPECT_EQ(BoundsOf(screen.KX3_TargetGauge3), Square(819, 588, 204));
    EXPECT_EQ(BoundsOf(screen.KX3_TargetGauge4), Square(409, 281, 204));

    // A resize lays the targets out again by itself.
    screen.SetBounds(0, 0, 800, 600);
    EXPECT_EQ(BoundsOf(screen.KX3_TargetGauge4), Square(320, 220, 160));
}

TEST(CalibScreenLayout, HoldsHostileFractionsToWindowCoordinates) {
    TKXBW3_CalibScreen screen(nullptr);
    screen.SetBounds(0, 0, 1024, 768);
    screen.SetTargetX(0, std::numeric_limits<float>::quiet_NaN());
    screen.SetTargetY(0, std::numeric_limits<float>::infinity());
    screen.SetTargetX(1, 1e30f);
    screen.SetTargetY(1, -1e30f);
    screen.SetTargetX(2, -std::numeric_limits<float>::infinity());
    screen.SetTargetY(2, 3.0f);
    screen.LayoutTargets();

    EXPECT_EQ(screen.KX3_TargetGauge1->GetLeft(), 0);
    EXPECT_EQ(screen.KX3_TargetGauge1->GetTop(), 32767);
    EXPECT_EQ(screen.KX3_TargetGauge2->GetLeft(), 32767);
    EXPECT_EQ(screen.KX3_TargetGauge2->GetTop(), -32768);
    EXPECT_EQ(screen.KX3_TargetGauge3->GetLeft(), -32768);
    EXPECT_EQ(screen.KX3_TargetGauge3->GetTop(), 2201); // 2304 - 102.4: far off, but exact
    EXPECT_EQ(screen.KX3_TargetGauge3->GetWidth(), 204);
}

TEST(CalibScreenLayout, ShowingHidesTheTargetsButNotTheCancelBox) {
    TKXBW3_CalibScreen screen(nullptr);
    screen.SetVisible(true);
    EXPECT_EQ(screen.GetWindowState(), wsMaximized);
    EXPECT_FALSE(screen.KX3_TargetGauge1->GetVisible());
    EXPECT_FALSE(screen.KX3_TargetGauge2->GetVisible());
    EXPECT_FALSE(screen.KX3_TargetGauge3->GetVisible());
    EXPECT_TRUE(screen.KX3_TargetGauge4->GetVisible());
    EXPECT_EQ(screen.KX3_TargetGauge4->GetPosition(), -1);
}

// Every ring contracts toward its target's centre as the driver's count rises and is drawn 4
// pixels wide; the cancel box alone is a rectangle.
TEST(CalibScreenLayout, RingsContractAndTheCancelBoxIsARectangle) {
    TKXBW3_CalibScreen screen(nullptr);
    const std::pair<TKX3_TargetGauge*, TargetGaugeShapeType> gauges[] = {
        {screen.KX3_TargetGauge1, tgst_Circle},
        {screen.KX3_TargetGauge2, tgst_Circle},
        {screen.KX3_TargetGauge3, tgst_Circle},
        {screen.KX3_TargetGauge4, tgst_Rectangle},
    };
    for (int i = 0; i < 4; ++i) {
        const auto& [gauge, shape] = gauges[i];
        EXPECT_TRUE(gauge->GetContract()) << "gauge " << i + 1;
        EXPECT_EQ(gauge->GetShape(), shape) << "gauge " << i + 1;
        EXPECT_EQ(gauge->GetLineWidth(), 4) << "gauge " << i + 1;
    }
}

class CalibRun : public LiveTest {
protected:
    CalibRun() {
        Watch("Calib", "Cancel", "Bool");
        itsCalib = std::make_unique<TKXBW3_Calib>(nullptr);
        KXBW3_CalibScreen = new TKXBW3_CalibScreen(nullptr);
        itsScreen = KXBW3_CalibScreen;
    }
    ~CalibRun() override {
        delete KXBW3_CalibScreen;
        KXBW3_CalibScreen = nullptr;
    }

    void SetUp() override {
        Activate();
        DriverSet("Calibrate", "Ref_TL_X", "0.1");
        DriverSet("Calibrate", "Ref_TL_Y", "0.1");
        DriverSet("Calibrate", "Ref_TR_X", "0.9");
        DriverSet("Calibrate", "Ref_TR_Y", "0.1");
        DriverSet("Calibrate", "Ref_BL_X", "0.1");
        DriverSet("Calibrate", "Ref_BL_Y", "0.9");
    }

    // Starts a run with a click on the start panel, and waits for the driver to see "Start".
    void Start() {
        ClickMiddle(itsCalib->StartCalibrationPanel);
        ASSERT_TRUE(WaitFor([this] { return itsDriver.GetBool("Calib", "Start"); }));
    }

    std::unique_ptr<TKXBW3_Calib> itsCalib;
    TKXBW3_CalibScreen* itsScreen;
};

TEST_F(CalibRun, StartShowsTheScreenAtTheDriversFractionsAndSetsStart) {
    EXPECT_FALSE(itsScreen->GetVisible());
    // The start panel sits in the middle of its group box.
    itsCalib->SetBounds(0, 0, 600, 454);
    TGroupBox* box = itsCalib->StartCalibrationGroupBox;
    EXPECT_EQ(itsCalib->StartCalibrationPanel->GetBoundsRect(),
              Rect((box->GetClientWidth() - 265) / 2, (box->GetClientHeight() - 177) / 2,
                   (box->GetClientWidth() - 265) / 2 + 265,
                   (box->GetClientHeight() - 177) / 2 + 177));
    Start();
    EXPECT_TRUE(itsScreen->GetVisible());

    itsScreen->LayoutTargets();
    const float w = static_cast<float>(itsScreen->GetWidth());
    const float h = static_cast<float>(itsScreen->GetHeight());
    const float m = static_cast<float>(0.1 * w);
    const auto expect = [&](TKX3_TargetGauge* gauge, float fx, float fy) {
        const float x = w * fx;
        const float y = h * fy;
        EXPECT_EQ(BoundsOf(gauge),
                  Square(static_cast<int>(static_cast<double>(x) - m),
                         static_cast<int>(static_cast<double>(y) - m), static_cast<int>(2.0 * m)));
    };
    expect(itsScreen->KX3_TargetGauge1, 0.1f, 0.1f);
    expect(itsScreen->KX3_TargetGauge2, 0.9f, 0.1f);
    expect(itsScreen->KX3_TargetGauge3, 0.1f, 0.9f);
    expect(itsScreen->KX3_TargetGauge4, 0.5f, 0.5f);
}

// "Start" goes out announced: a driver that begins a run on the change event must see it.
TEST_F(CalibRun, StartIsAnAnnouncedWrite) {
    Start();
    EXPECT_TRUE(WaitFor([this] { return itsDriver.Command("changes Calib Start") == "value 1"; }));
}

TEST_F(CalibRun, CountsMoveTheRingsAndHideOutsideTheirRange) {
    Start();
    TKX3_TargetGauge* target = itsScreen->KX3_TargetGauge1;
    DriverSet("Calib", "Count0", "0");
    EXPECT_TRUE(target->GetVisible());
    EXPECT_EQ(target->GetPosition(), 0);
    DriverSet("Calib", "Count0", "100");
    EXPECT_TRUE(target->GetVisible());
    DriverSet("Calib", "Count0", "101");
    EXPECT_FALSE(target->GetVisible());
    DriverSet("Calib", "Count0", "-1");
    EXPECT_FALSE(target->GetVisible());

    DriverSet("Calib", "Count2", "40");
    EXPECT_TRUE(itsScreen->KX3_TargetGauge3->GetVisible());
    EXPECT_EQ(itsScreen->KX3_TargetGauge3->GetPosition(), 40);
    EXPECT_FALSE(itsScreen->KX3_TargetGauge2->GetVisible());

    // The cancel box shows whatever its count holds, also the extremes of a broken driver.
    for (const char* count : {"-1", "101", "-2147483648", "2147483647"}) {
        DriverSet("Calib", "Count3", count);
        EXPECT_TRUE(itsScreen->KX3_TargetGauge4->GetVisible()) << count;
        EXPECT_EQ(itsScreen->KX3_TargetGauge4->GetPosition(), std::stoi(count));
        itsScreen->KX3_TargetGauge4->Repaint();
    }
}

TEST_F(CalibRun, CountsAreDroppedWhileTheTabIsInactiveOrTheScreenHidden) {
    Start();
    itsCalib->SetEnabled(false);
    DriverSet("Calib", "Count0", "50");
    itsCalib->SetEnabled(true);
    Settle();
    EXPECT_EQ(itsScreen->KX3_TargetGauge1->GetPosition(), -1);
    EXPECT_FALSE(itsScreen->KX3_TargetGauge1->GetVisible());

    itsScreen->SetVisible(false);
    DriverSet("Calib", "Count1", "50");
    EXPECT_EQ(itsScreen->KX3_TargetGauge2->GetPosition(), -1);
}

TEST_F(CalibRun, BusyFalseHidesTheScreenWhicheverTabIsActive) {
    Start();
    DriverSet("Calib", "Busy", "1");
    EXPECT_TRUE(itsScreen->GetVisible());
    itsCalib->SetEnabled(false);
    DriverSet("Calib", "Busy", "0");
    EXPECT_FALSE(itsScreen->GetVisible());
    DriverSet("Calib", "Busy", "1");
    EXPECT_FALSE(itsScreen->GetVisible());
}

TEST_F(CalibRun, EscapeHidesTheScreenAndCancelsOnce) {
    Start();
    PressKey(itsScreen, Qt::Key_A, "a");
    EXPECT_TRUE(itsScreen->GetVisible());
    PressKey(itsScreen, Qt::Key_Escape, "\x1b");
    EXPECT_FALSE(itsScreen->GetVisible());
    ASSERT_TRUE(WaitFor([this] { return itsDriver.GetBool("Calib", "Cancel"); }));
    Settle();
    EXPECT_EQ(Changes("Calib", "Cancel"), 1);
}

TEST_F(CalibRun, AClickOnTheCancelBoxHidesTheScreenAndCancelsOnce) {
    Start();
    itsScreen->SetBounds(0, 0, 1024, 768);
    ClickMiddle(itsScreen->KX3_TargetGauge4);
    EXPECT_FALSE(itsScreen->GetVisible());
    ASSERT_TRUE(WaitFor([this] { return itsDriver.GetBool("Calib", "Cancel"); }));
    Settle();
    EXPECT_EQ(Changes("Calib", "Cancel"), 1);
}

TEST_F(CalibRun, ASecondStartWhileVisibleKeepsProgressAndWritesStartAgain) {
    Start();
    DriverSet("Calib", "Count0", "30");
    DriverSet("Calib", "Start", "0"); // the driver has taken the first start
    DriverSet("Calibrate", "Ref_TL_X", "0.5");
    Start();
    EXPECT_TRUE(itsScreen->GetVisible());
    EXPECT_EQ(itsScreen->KX3_TargetGauge1->GetPosition(), 30);
    EXPECT_TRUE(itsScreen->KX3_TargetGauge1->GetVisible());
    itsScreen->LayoutTargets();
    const float w = static_cast<float>(itsScreen->GetWidth());
    EXPECT_EQ(itsScreen->KX3_TargetGauge1->GetLeft(),
              static_cast<int>(static_cast<double>(w * 0.5f) - static_cast<float>(0.1 * w)));
}

// The main form's calibration lock starts a run on the screen, which then stays topmost.
TEST(CalibLock, StartsARunOnTheScreenAndKeepsItAboveTheMainForm) {
    DriverProcess driver;
    ASSERT_TRUE(driver.Start());
    PanelForms forms;
    ScreenInGlobal screen;
    forms.Tick();
    // The panel's own first write of the lock is flushed by its first poll; wait for it.
    ASSERT_TRUE(
        WaitFor([&] { return driver.Command("changes Status LockCalibrate") != "value 0"; }));

    ASSERT_TRUE(driver.Set("Status", "LockCalibrate", "1"));
    forms.Main()->Show();
    forms.Tick();
    EXPECT_EQ(forms.Main()->PageMain->GetActivePage(), forms.Main()->TabCalib);
    EXPECT_TRUE(forms.Main()->itsCalib->GetEnabled());
    EXPECT_TRUE(KXBW3_CalibScreen->GetVisible());
    EXPECT_TRUE(WaitFor([&] { return driver.GetBool("Calib", "Start"); }));

    TestWindowServices().ClearCalls();
    forms.Tick();
    const auto calls =
        TestWindowServices().CallsOf(platform::RecordingWindowServices::CallKind::MakeTopmost);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Window, KXBW3_CalibScreen->GetHandle());
    KXBW3_CalibScreen->SetVisible(false);
}
