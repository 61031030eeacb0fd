// The target gauge: outline, progress ring, captions, picture, hiding and clicks.
#include "FaceSupport.h"

#include "components/KX3_TargetGauge.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace tk;
using facetest::At;
using facetest::BoundsOf;
using facetest::Face;

namespace {

constexpr int kWidth = 105;
constexpr int kHeight = 113;

class TargetGaugeTest : public testing::Test {
protected:
    TargetGaugeTest() { Prepare(gauge); }
    static void Prepare(TKX3_TargetGauge& g) {
        g.SetBounds(0, 0, kWidth, kHeight);
        g.SetColor(clWhite);
        g.SetLineWidth(1);
        g.SetLineColour(clBlue);
    }
    TRect Ring() { return BoundsOf(Face(&gauge), clBlue); }
    TKX3_TargetGauge gauge{nullptr};
};

TEST_F(TargetGaugeTest, ContractingRingBoxes) {
    gauge.SetContract(true);
    gauge.SetPosition(50);
    EXPECT_EQ(Ring(), Rect(26, 28, 78, 84));
    gauge.SetPosition(75);
    EXPECT_EQ(Ring(), Rect(39, 42, 65, 70));
    gauge.SetShape(tgst_Rectangle);
    EXPECT_EQ(Ring(), Rect(39, 42, 65, 70));
    EXPECT_EQ(At(Face(&gauge), 39, 55), clBlue);
}

// The ring's pen is LineWidth pixels wide, for either shape: the calibration screen's rings
// are drawn 4 wide.
TEST_F(TargetGaugeTest, TheRingIsDrawnLineWidthWide) {
    gauge.SetPosition(50);
    for (TargetGaugeShapeType shape : {tgst_Circle, tgst_Rectangle}) {
        gauge.SetShape(shape);
        for (int width : {1, 4}) {
            gauge.SetLineWidth(width);
            const QImage face = Face(&gauge);
            int across = 0; // the ring's left side on the middle row
            for (int x = 0; x < kWidth / 2; ++x)
                across += At(face, x, kHeight / 2) == clBlue ? 1 : 0;
            EXPECT_EQ(across, width) << "shape " << shape << ", width " << width;
        }
    }
}

TEST_F(TargetGaugeTest, ProgressIsClampedToTheOutline) {
    gauge.SetPosition(150); // growing ring, past the range: full size
    EXPECT_EQ(Ring(), Rect(0, 0, 104, 112));
    gauge.SetContract(true);
    gauge.SetPosition(0); // the smaller bound: on the outline
    EXPECT_EQ(Ring(), Rect(0, 0, 104, 112));
    gauge.SetMax(0); // Min = Max: the range widens by one and the ring stays full
    EXPECT_EQ(Ring(), Rect(0, 0, 104, 112));
}

TEST_F(TargetGaugeTest, BoundsAtTheEndsOfTheIntegerRangeDoNotOverflow) {
    constexpr int lowest = std::numeric_limits<int>::min();
    constexpr int highest = std::numeric_limits<int>::max();
    gauge.SetMin(lowest);
    gauge.SetMax(highest);
    gauge.SetPosition(highest);
    EXPECT_EQ(Ring(), Rect(0, 0, 104, 112));
    gauge.SetMin(highest); // Min = Max = the largest integer: widened by one, no wrap
    gauge.SetContract(true);
    EXPECT_EQ(Ring(), Rect(0, 0, 104, 112));
}

TEST_F(TargetGaugeTest, OutlineAndCrossHairStopShortOfAnOddEdge) {
    gauge.SetLineColour(clWhite);
    QImage face = Face(&gauge);
    EXPECT_EQ(BoundsOf(face, clBlack), Rect(0, 0, 104, 112));
    EXPECT_EQ(At(face, 52, 1), clBlack);            // vertical line
    EXPECT_EQ(At(face, 1, 56), clBlack);            // horizontal line
    EXPECT_EQ(At(face, 52 - 36, 56 - 39), clBlack); // a diagonal's start
    gauge.SetShape(tgst_Rectangle);
    face = Face(&gauge);
    EXPECT_EQ(BoundsOf(face, clBlack), Rect(0, 0, 104, 112));
    EXPECT_EQ(At(face, 52, 30), clWhite); // no cross-hair
}

TEST_F(TargetGaugeTest, ContractAloneWaitsForTheNextRepaint) {
    gauge.SetPosition(25);
    const QImage before = Face(&gauge);
    gauge.SetContract(true);
    EXPECT_EQ(Face(&gauge), before);
    gauge.Invalidate();
    EXPECT_NE(Face(&gauge), before);
}

TEST_F(TargetGaugeTest, CaptionsAreCentredAsABlock) {
    const std::vector<std::string> lines = {"To Cancel:", "", "or Press ESC"};
    TKX3_TargetGauge plain(nullptr);
    Prepare(plain);
    facetest::Sketch sketch(Face(&plain));
    TCanvas* canvas = sketch.Canvas();
    canvas->SetFont(gauge.GetFont());
    canvas->GetBrush()->SetStyle(bsClear);
    const int lineHeight = canvas->TextHeight("A");
    for (int i = 0; i < 3; ++i) {
        const int top = kHeight / 2 - 3 * lineHeight / 2 + i * lineHeight;
        canvas->TextOut(kWidth / 2 - canvas->TextWidth(lines[i]) / 2, top, lines[i]);
    }
    for (const auto& line : lines) {
        gauge.GetCaptions()->Add(line);
    }
    EXPECT_EQ(Face(&gauge), sketch.Image());
}

TEST_F(TargetGaugeTest, APictureFillsTheBackgroundAndAMissingOneReadsBackEmpty) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("back.bmp").toStdString();
    TBitmap picture;
    picture.SetSize(4, 4);
    picture.GetCanvas()->GetBrush()->SetColor(clYellow);
    picture.GetCanvas()->FillRect(Rect(0, 0, 4, 4));
    picture.SaveToFile(file);

    gauge.SetPicture(file);
    EXPECT_EQ(gauge.GetPicture(), file);
    EXPECT_EQ(At(Face(&gauge), 0, 0), clYellow);
    EXPECT_EQ(At(Face(&gauge), kWidth - 1, kHeight - 1), clYellow);

    gauge.SetPicture(dir.filePath("missing.bmp").toStdString());
    EXPECT_EQ(gauge.GetPicture(), "");
    EXPECT_EQ(At(Face(&gauge), 0, 0), clWhite);
}

TEST_F(TargetGaugeTest, NegativeLineWidthIsStoredAsZero) {
    gauge.SetLineWidth(-3);
    EXPECT_EQ(gauge.GetLineWidth(), 0);
}

TEST_F(TargetGaugeTest, AutoHideShowsTheGaugeExactlyWithinItsRange) {
    gauge.SetAutoHide(true);
    const std::vector<std::pair<int, bool>> steps = {
        {101, false}, {100, true}, {-1, false}, {0, true}, {50, true}};
    for (const auto& [position, visible] : steps) {
        gauge.SetPosition(position);
        EXPECT_EQ(gauge.GetVisible(), visible) << position;
    }
    gauge.SetMin(60); // a new bound is applied at once
    EXPECT_FALSE(gauge.GetVisible());
    gauge.SetMin(0);
    EXPECT_TRUE(gauge.GetVisible());

    gauge.SetMin(100);
    gauge.SetMax(0); // Min above Max: no position shows the gauge
    for (int position : {0, 50, 100}) {
        gauge.SetPosition(position);
        EXPECT_FALSE(gauge.GetVisible()) << position;
    }
}

TEST_F(TargetGaugeTest, WithoutAutoHideVisibilityIsLeftAlone) {
    gauge.SetPosition(500);
    EXPECT_TRUE(gauge.GetVisible());
    gauge.SetAutoHide(true); // applies at once
    EXPECT_FALSE(gauge.GetVisible());
    gauge.SetAutoHide(false);
    gauge.SetPosition(50);
    EXPECT_FALSE(gauge.GetVisible());
}

void SendMouse(QWidget* widget, QEvent::Type type) {
    const QPointF at(30, 40);
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

TEST_F(TargetGaugeTest, AClickOnTheFaceIsTheGaugesClick) {
    std::vector<TObject*> clicks;
    int doubleClicks = 0;
    gauge.OnClick = [&](TObject* sender) { clicks.push_back(sender); };
    gauge.OnDblClick = [&](TObject*) { ++doubleClicks; };
    QWidget* face = gauge.GetControl(0)->Widget();

    SendMouse(face, QEvent::MouseButtonPress);
    SendMouse(face, QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, std::vector<TObject*>{&gauge});

    SendMouse(face, QEvent::MouseButtonDblClick);
    SendMouse(face, QEvent::MouseButtonRelease);
    EXPECT_EQ(doubleClicks, 0);
}

} // namespace
