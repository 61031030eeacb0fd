// The scale ruler: numbers from Min at the left to Max at the right, centred where the
// spacing puts them.
#include "FaceSupport.h"

#include "components/KX3_Ruler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tk;
using facetest::Face;

namespace {

constexpr int kWidth = 105;
constexpr int kHeight = 21;

struct Number {
    std::string text;
    int centre;
};

class RulerTest : public testing::Test {
protected:
    RulerTest() {
        ruler.SetBevelOuter(bvNone);
        ruler.SetColor(clWhite);
        ruler.SetBounds(0, 0, kWidth, kHeight);
    }

    // A white strip with each number drawn opaque, in order, its box centred on its place.
    QImage Expected(const std::vector<Number>& numbers) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        facetest::Sketch sketch(image);
        TCanvas* canvas = sketch.Canvas();
        canvas->SetFont(ruler.GetFont());
        canvas->GetBrush()->SetColor(clWhite);
        for (const Number& n : numbers) {
            const TSize size = canvas->TextExtent(n.text);
            canvas->TextOut(n.centre - size.cx / 2, kHeight / 2 - size.cy / 2, n.text);
        }
        return sketch.Image();
    }

    TKX3_Ruler ruler{nullptr};
};

TEST_F(RulerTest, NumbersZeroToTenSitAtTheirPlaces) {
    const int centres[] = {4, 14, 23, 33, 42, 52, 61, 71, 81, 90, 100};
    std::vector<Number> numbers;
    for (int v = 0; v <= 10; ++v) {
        numbers.push_back({std::to_string(v), centres[v]});
    }
    EXPECT_EQ(Face(&ruler), Expected(numbers));
}

TEST_F(RulerTest, ASingleNumberSitsInTheMiddle) {
    ruler.SetMin(3);
    ruler.SetMax(3);
    EXPECT_EQ(Face(&ruler), Expected({{"3", 51}}));
}

TEST_F(RulerTest, SignsFollowShowPlusAndShowMinus) {
    ruler.SetMin(-5);
    ruler.SetMax(5);
    ruler.SetEndSize(0.2f);
    // s = 105 / 10.41; the places run from 0.2 s by s.
    const int centres[] = {2, 12, 22, 32, 42, 52, 62, 72, 82, 92, 102};
    std::vector<Number> signedNumbers;
    std::vector<Number> magnitudes;
    for (int v = -5; v <= 5; ++v) {
        const std::string digits = std::to_string(v < 0 ? -v : v);
        const std::string sign = v > 0 ? "+" : (v < 0 ? "-" : "");
        signedNumbers.push_back({sign + digits, centres[v + 5]});
        magnitudes.push_back({digits, centres[v + 5]});
    }
    EXPECT_EQ(Face(&ruler), Expected(magnitudes));
    ruler.SetShowPlus(true);
    ruler.SetShowMinus(true);
    EXPECT_EQ(Face(&ruler), Expected(signedNumbers));
}

TEST_F(RulerTest, MaxBelowMinCountsDown) {
    ruler.SetMin(10);
    ruler.SetMax(0);
    const int centres[] = {4, 14, 23, 33, 42, 52, 61, 71, 81, 90, 100};
    std::vector<Number> numbers;
    for (int i = 0; i <= 10; ++i) {
        numbers.push_back({std::to_string(10 - i), centres[i]});
    }
    EXPECT_EQ(Face(&ruler), Expected(numbers));
}

TEST_F(RulerTest, EndSizeIsClampedToZeroToOne) {
    ruler.SetEndSize(-0.3f);
    EXPECT_EQ(ruler.GetEndSize(), 0.0f);
    ruler.SetEndSize(1.7f);
    EXPECT_EQ(ruler.GetEndSize(), 1.0f);
    ruler.SetEndSize(0.25f);
    EXPECT_EQ(ruler.GetEndSize(), 0.25f);
}

TEST_F(RulerTest, ShowTickChangesNothingOnTheFace) {
    const QImage before = Face(&ruler);
    ruler.SetShowTick(true);
    EXPECT_TRUE(ruler.GetShowTick());
    EXPECT_EQ(Face(&ruler), before);
}

} // namespace
