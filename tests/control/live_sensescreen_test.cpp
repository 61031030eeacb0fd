// The sensitivity screen's layout rule.
#include "control/KXB3_SenseScreen.h"

#include <gtest/gtest.h>

using namespace tk;

namespace {

TRect Square(int left, int top, int side) {
    return Rect(left, top, left + side, top + side);
}

} // namespace

TEST(SenseScreen, StartsWithOnlyTheTimeOutBoxPlaced) {
    TKXBW3_SenseScreen screen(nullptr);
    EXPECT_EQ(screen.ScreenState, 0);
    EXPECT_FALSE(screen.KX3_TargetGauge0->GetVisible());
    EXPECT_FALSE(screen.TouchLabel->GetVisible());
    EXPECT_FALSE(screen.ReleaseLabel->GetVisible());
    const TRect target = screen.KX3_TargetGauge0->GetBoundsRect();

    screen.SetBounds(0, 0, 800, 600);
    EXPECT_EQ(screen.KX3_TargetGauge2->GetBoundsRect(), Rect(13, 10, 13 + 133, 10 + 100));
    EXPECT_EQ(screen.KX3_TargetGauge2->GetPosition(), 0);
    EXPECT_EQ(screen.KX3_TargetGauge0->GetBoundsRect(), target);
}

TEST(SenseScreen, PlacesTheTargetByState) {
    TKXBW3_SenseScreen screen(nullptr);
    screen.SetBounds(0, 0, 800, 600);
    screen.ScreenState = 3;
    screen.CentredTargetProgress = 0.25f;
    screen.Arrange();
    EXPECT_EQ(screen.KX3_TargetGauge0->GetBoundsRect(), Square(360, 260, 80));
    EXPECT_EQ(screen.KX3_TargetGauge0->GetPosition(), 25);
    EXPECT_TRUE(screen.KX3_TargetGauge0->GetVisible()); // shown again by its AutoHide

    screen.ScreenState = 2;
    const struct {
        float progress;
        int left, top;
    } moves[] = {{0.0f, 340, 240}, {0.5f, 360, 260}, {1.0f, 380, 280}};
    for (const auto& move : moves) {
        screen.MovingTargetProgress = move.progress;
        screen.Arrange();
        EXPECT_EQ(screen.KX3_TargetGauge0->GetBoundsRect(), Square(move.left, move.top, 80))
            << move.progress;
    }

    screen.SetBounds(0, 0, 1024, 768);
    screen.MovingTargetProgress = 0.0f;
    screen.TimeOutProgress = 0.5f;
    screen.Arrange();
    EXPECT_EQ(screen.KX3_TargetGauge0->GetBoundsRect(), Square(435, 307, 102));
    EXPECT_EQ(screen.KX3_TargetGauge2->GetPosition(), 50);

    // Any other state leaves the target where it was.
    screen.ScreenState = 5;
    screen.SetBounds(0, 0, 800, 600);
    EXPECT_EQ(screen.KX3_TargetGauge0->GetBoundsRect(), Square(435, 307, 102));
}

TEST(SenseScreen, TheTimeOutBoxReportsItsClickWithoutHiding) {
    TKXBW3_SenseScreen screen(nullptr);
    screen.SetVisible(true);
    screen.KX3_TargetGauge2->Click(); // nothing assigned: nothing happens
    EXPECT_TRUE(screen.GetVisible());

    TObject* sender = nullptr;
    screen.OnTimeOutClick = [&sender](TObject* s) { sender = s; };
    screen.KX3_TargetGauge2->Click();
    EXPECT_EQ(sender, &screen);
    EXPECT_TRUE(screen.GetVisible());
    EXPECT_EQ(screen.GetWindowState(), wsMaximized);
}
