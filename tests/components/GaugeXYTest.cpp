// The X/Y touch gauge: dots, or trace lines, in the colour of the point's type.
#include "FaceSupport.h"

#include "components/KX3_GaugeXY.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tk;
using facetest::At;
using facetest::BoundsOf;
using facetest::CountOf;
using facetest::Face;

namespace {

class GaugeXYTest : public testing::Test {
protected:
    explicit GaugeXYTest(int width = 200, int height = 200) {
        gauge.SetBevelOuter(bvNone);
        gauge.SetBounds(0, 0, width, height);
        gauge.Update(); // the gauge has been shown before points come in
    }
    void StartTrace() {
        gauge.SetTrace(true);
        gauge.Update();
    }
    // Covers the face in black, so that anything drawn afterwards shows.
    void Blacken() {
        gauge.Update();
        TCanvas* canvas = gauge.GetControl(0)->GetCanvas();
        canvas->GetBrush()->SetColor(clBlack);
        canvas->FillRect(gauge.GetClientRect());
    }
    TKX3_GaugeXY gauge{nullptr};
};

class WideGaugeXYTest : public GaugeXYTest {
protected:
    WideGaugeXYTest() : GaugeXYTest(550, 300) {}
};

TEST_F(WideGaugeXYTest, DotsAreAHundredthOfTheWidthAcross) {
    gauge.Input(nullptr, 0.5f, 0.5f, 1);
    const TRect dot = BoundsOf(Face(&gauge), clGreen);
    EXPECT_EQ(dot.Width(), 5);
    EXPECT_EQ(dot.Height(), 5);
    EXPECT_EQ(dot.Left + dot.Width() / 2, 275);
    EXPECT_EQ(dot.Top + dot.Height() / 2, 150);
}

TEST_F(GaugeXYTest, TypesPickTheColour) {
    const QImage blank = Face(&gauge);
    gauge.Input(nullptr, 0.5f, 0.5f, 0);
    EXPECT_EQ(Face(&gauge), blank); // type 0 is drawn in white
    gauge.Input(nullptr, 0.5f, 0.5f, 1);
    EXPECT_EQ(At(Face(&gauge), 100, 100), clGreen);
    gauge.Input(nullptr, 0.5f, 0.5f, 2);
    EXPECT_EQ(At(Face(&gauge), 100, 100), clRed);
    gauge.Input(nullptr, 0.5f, 0.5f, 3);
    EXPECT_EQ(At(Face(&gauge), 100, 100), clBlack);
}

TEST_F(GaugeXYTest, WithoutTraceOnlyTheLatestDotShows) {
    gauge.Input(nullptr, 0.25f, 0.25f, 1);
    gauge.Input(nullptr, 0.75f, 0.75f, 1);
    const QImage face = Face(&gauge);
    EXPECT_EQ(At(face, 50, 50), clWhite);
    EXPECT_EQ(At(face, 150, 150), clGreen);
    const TRect dot = BoundsOf(face, clGreen);
    EXPECT_GE(dot.Left, 148);
    EXPECT_GE(dot.Top, 148);
}

TEST_F(GaugeXYTest, RepeatsAndTinyMovesDrawNothing) {
    gauge.Input(nullptr, 0.5f, 0.5f, 2);
    Blacken();
    gauge.Input(nullptr, 0.5f, 0.5f, 2);
    gauge.Input(nullptr, 0.5005f, 0.5005f, 2);
    EXPECT_EQ(CountOf(Face(&gauge), clBlack), 200 * 200);

    gauge.Input(nullptr, 0.502f, 0.5f, 2); // wipes the old dot and draws the new one
    EXPECT_GT(CountOf(Face(&gauge), clRed), 0);
    Blacken();
    gauge.Input(nullptr, 0.502f, 0.502f, 2);
    EXPECT_GT(CountOf(Face(&gauge), clRed), 0);
    Blacken();
    gauge.Input(nullptr, 0.502f, 0.502f, 1);
    EXPECT_GT(CountOf(Face(&gauge), clGreen), 0);
}

TEST_F(GaugeXYTest, TraceDrawsStrokesOfOneTypeAndBreaksBetweenTypes) {
    StartTrace();
    gauge.Input(nullptr, 0.1f, 0.1f, 1);
    gauge.Input(nullptr, 0.5f, 0.5f, 1);
    gauge.Input(nullptr, 0.9f, 0.1f, 2);
    gauge.Input(nullptr, 0.9f, 0.9f, 2);
    const QImage face = Face(&gauge);
    // Green from (20, 20) up to, not including, (100, 100); red down x = 180 from 20 to 179.
    EXPECT_EQ(BoundsOf(face, clGreen), Rect(20, 20, 100, 100));
    EXPECT_EQ(CountOf(face, clGreen), 80);
    EXPECT_EQ(BoundsOf(face, clRed), Rect(180, 20, 181, 180));
    // Nothing joins the second point to the third.
    EXPECT_EQ(At(face, 140, 60), clWhite);
}

TEST_F(GaugeXYTest, TypeZeroBreaksTheStroke) {
    StartTrace();
    gauge.Input(nullptr, 0.1f, 0.1f, 1);
    gauge.Input(nullptr, 0.3f, 0.3f, 0);
    gauge.Input(nullptr, 0.5f, 0.5f, 1);
    gauge.Input(nullptr, 0.7f, 0.7f, 0);
    EXPECT_EQ(CountOf(Face(&gauge), clGreen), 0);
}

TEST_F(GaugeXYTest, ClearLeavesAWhiteFieldAndStartsANewStroke) {
    StartTrace();
    gauge.Input(nullptr, 0.1f, 0.1f, 1);
    gauge.Input(nullptr, 0.5f, 0.5f, 1);
    gauge.Clear(nullptr);
    EXPECT_EQ(CountOf(Face(&gauge), clWhite), 200 * 200);

    gauge.Input(nullptr, 0.9f, 0.9f, 1);
    EXPECT_EQ(CountOf(Face(&gauge), clWhite), 200 * 200);
    gauge.Input(nullptr, 0.9f, 0.5f, 1);
    EXPECT_EQ(BoundsOf(Face(&gauge), clGreen), Rect(180, 101, 181, 181));
}

TEST_F(GaugeXYTest, ARepaintKeepsOnlyTheLastDot) {
    gauge.Input(nullptr, 0.25f, 0.25f, 1);
    StartTrace();
    gauge.Input(nullptr, 0.75f, 0.75f, 1);
    EXPECT_EQ(At(Face(&gauge), 100, 100), clGreen);
    gauge.Invalidate(); // as when the window is uncovered
    const QImage face = Face(&gauge);
    EXPECT_EQ(At(face, 50, 50), clWhite);
    EXPECT_EQ(At(face, 100, 100), clWhite);
    EXPECT_EQ(At(face, 150, 150), clGreen);
}

TEST_F(GaugeXYTest, PointsFromTheBevelledFaceLandInClientCoordinates) {
    gauge.SetBevelOuter(bvRaised);
    gauge.Input(nullptr, 0.5f, 0.5f, 2);
    const TRect dot = BoundsOf(Face(&gauge), clRed);
    EXPECT_EQ(dot.Left + dot.Width() / 2, 100);
    EXPECT_EQ(dot.Top + dot.Height() / 2, 100);
}

TEST_F(GaugeXYTest, PointsThatAreNowhereAreIgnored) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    StartTrace();
    gauge.Input(nullptr, 0.5f, 0.5f, 1);
    gauge.Input(nullptr, inf, 0.5f, 1);
    gauge.Input(nullptr, nan, nan, 1);
    gauge.Input(nullptr, 0.5f, -inf, 1);
    EXPECT_EQ(CountOf(Face(&gauge), clWhite), 200 * 200);
    // The stroke goes on from the last real point.
    gauge.Input(nullptr, 0.5f, 0.7f, 1);
    EXPECT_EQ(BoundsOf(Face(&gauge), clGreen), Rect(100, 100, 101, 140));
}

TEST_F(GaugeXYTest, FarOffPointsAreClippedNotWrapped) {
    StartTrace();
    gauge.Input(nullptr, 0.5f, 0.5f, 2);
    gauge.Input(nullptr, 1e30f, 0.5f, 2);
    EXPECT_EQ(BoundsOf(Face(&gauge), clRed), Rect(100, 100, 200, 101));
}

} // namespace
