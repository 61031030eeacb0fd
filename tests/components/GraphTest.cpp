// The bar graph: bands stacked from the top, each with a red line at its value's place.
#include "FaceSupport.h"

#include "components/KX3_Graph.h"
#include "components/KX3_GraphItem.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace tk;
using facetest::BoundsOf;

namespace {

TKX3_GraphItem* Band(TKX3_Graph& graph, int index) {
    return dynamic_cast<TKX3_GraphItem*>(graph.GetControl(index));
}

// What the band's paint box holds, in its own coordinates.
QImage BandFace(TKX3_GraphItem* item) {
    item->Update();
    return item->GetControl(0)->GetCanvas()->Image()->convertToFormat(QImage::Format_RGB32);
}

// The red line's rectangle on a band 200 x 20 (paint box 198 x 18 inside the bevel).
TRect LineAt(int x) {
    return Rect(x, 0, x + 1, 18);
}

struct BandBox {
    int top;
    int height;
    bool operator==(const BandBox&) const = default;
};

std::vector<BandBox> BandBoxes(TKX3_Graph& graph) {
    graph.Update();
    std::vector<BandBox> boxes;
    for (int i = 0; i < graph.GetLength(); ++i) {
        EXPECT_EQ(Band(graph, i)->GetLeft(), 0);
        EXPECT_EQ(Band(graph, i)->GetWidth(), graph.GetClientWidth());
        boxes.push_back({Band(graph, i)->GetTop(), Band(graph, i)->GetHeight()});
    }
    return boxes;
}

TEST(GraphLayout, BandTopsFollowTheAccumulatedHeight) {
    TKX3_Graph graph(nullptr);
    graph.SetBounds(0, 0, 50, 100);
    graph.SetLength(3);
    EXPECT_EQ(BandBoxes(graph), (std::vector<BandBox>{{0, 33}, {33, 33}, {66, 33}}));

    graph.SetBounds(0, 0, 50, 42);
    graph.SetLength(4);
    EXPECT_EQ(BandBoxes(graph), (std::vector<BandBox>{{0, 10}, {10, 10}, {21, 10}, {31, 10}}));
}

class GraphItemTest : public testing::Test {
protected:
    GraphItemTest() { item.SetBounds(0, 0, 200, 20); }
    TRect Line() { return BoundsOf(BandFace(&item), clRed); }
    TKX3_GraphItem item{nullptr};
};

TEST_F(GraphItemTest, LinePlacedByTheItemsOwnWidth) {
    item.SetPosition(50.0f);
    EXPECT_EQ(Line(), LineAt(100));
    // x = 200 lies past the paint box: nothing red shows.
    item.SetPosition(100.0f);
    EXPECT_EQ(Line(), TRect{});

    item.SetMin(-10.0f);
    item.SetMax(400.0f);
    item.SetPosition(-10.0f);
    EXPECT_EQ(Line(), LineAt(0));
}

TEST_F(GraphItemTest, MovesOfLessThanAThousandthAreIgnored) {
    item.SetPosition(50.0f);
    item.SetPosition(50.0005f);
    EXPECT_EQ(item.GetPosition(), 50.0f);
    item.SetPosition(50.002f);
    EXPECT_EQ(item.GetPosition(), 50.002f);
    // A real move wipes the old line.
    item.SetPosition(75.0f);
    EXPECT_EQ(Line(), LineAt(150));
    EXPECT_EQ(facetest::At(BandFace(&item), 100, 5), clWhite);
}

TEST_F(GraphItemTest, EqualBoundsShowAWhiteFace) {
    item.SetPosition(50.0f);
    item.SetMin(5.0f);
    item.SetMax(5.0005f);
    const QImage face = BandFace(&item);
    EXPECT_EQ(facetest::CountOf(face, clWhite), face.width() * face.height());
}

TEST_F(GraphItemTest, ValuesBeyondAnyFaceDrawNothingAndDoNotUpsetTheNextLine) {
    const float inf = std::numeric_limits<float>::infinity();
    for (float wild : {inf, -inf, 1e30f, -1e30f}) {
        item.SetPosition(wild);
        EXPECT_EQ(Line(), TRect{}) << wild;
        item.SetPosition(50.0f);
        EXPECT_EQ(Line(), LineAt(100)) << wild;
    }
    // Not a number is never a thousandth away from anything: the line stays.
    item.SetPosition(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(item.GetPosition(), 50.0f);
    EXPECT_EQ(Line(), LineAt(100));
}

class GraphInputTest : public testing::Test {
protected:
    GraphInputTest() {
        graph.SetBounds(0, 0, 200, 100);
        const float five[] = {10, 20, 30, 40, 50};
        graph.Input(nullptr, 5, five);
    }
    std::vector<float> Positions() {
        std::vector<float> result;
        for (int i = 0; i < graph.GetLength(); ++i) {
            result.push_back(Band(graph, i)->GetPosition());
        }
        return result;
    }
    TKX3_Graph graph{nullptr};
};

TEST_F(GraphInputTest, ABatchSetsTheBandsAndTheirLines) {
    EXPECT_EQ(Positions(), (std::vector<float>{10, 20, 30, 40, 50}));
    graph.Update(); // lays the bands out at the graph's width
    EXPECT_EQ(BoundsOf(BandFace(Band(graph, 2)), clRed).Left, 60);
}

TEST_F(GraphInputTest, ACountOfZeroOrNoValuesLeavesTheGraphAsItWas) {
    const float none[] = {0};
    graph.Input(nullptr, 0, none);
    graph.Input(nullptr, 2, nullptr);
    EXPECT_EQ(Positions(), (std::vector<float>{10, 20, 30, 40, 50}));
}

TEST_F(GraphInputTest, AShorterBatchDropsTheLastBandsAndKeepsTheFirst) {
    TKX3_GraphItem* first = Band(graph, 0);
    const float three[] = {70, 80, 90};
    graph.Input(nullptr, 3, three);
    EXPECT_EQ(Positions(), (std::vector<float>{70, 80, 90}));
    EXPECT_EQ(Band(graph, 0), first);
    EXPECT_EQ(graph.ControlCount(), 3);
}

TEST_F(GraphInputTest, ANegativeCountEmptiesTheGraph) {
    const float one[] = {1};
    graph.Input(nullptr, -2, one);
    EXPECT_EQ(graph.GetLength(), 0);
    EXPECT_EQ(graph.ControlCount(), 0);
}

TEST_F(GraphInputTest, BoundsReachEveryBandUnlessTheChangeIsTiny) {
    graph.SetMax(100.0005f);
    EXPECT_EQ(graph.GetMax(), 100.0f);
    EXPECT_EQ(Band(graph, 4)->GetMax(), 100.0f);

    graph.SetMin(-10.0f);
    graph.SetMax(400.0f);
    for (int i = 0; i < graph.GetLength(); ++i) {
        EXPECT_EQ(Band(graph, i)->GetMin(), -10.0f);
        EXPECT_EQ(Band(graph, i)->GetMax(), 400.0f);
    }
    // A band added later takes the graph's bounds.
    const float six[] = {1, 2, 3, 4, 5, 6};
    graph.Input(nullptr, 6, six);
    EXPECT_EQ(Band(graph, 5)->GetMin(), -10.0f);
    EXPECT_EQ(Band(graph, 5)->GetMax(), 400.0f);
}

} // namespace
