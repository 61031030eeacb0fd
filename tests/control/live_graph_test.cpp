// The graph page: what reaches each graph when the driver announces a "Length".
#include "components/KX3_Graph.h"
#include "components/KX3_GraphItem.h"
#include "control/KXB3_Graph.h"
#include "tests/control/live_fixture.h"

#include <string>
#include <vector>

using namespace tk;

namespace {

// The positions of a graph's bands, top to bottom.
std::vector<float> Bands(TKX3_Graph* graph) {
    std::vector<float> values;
    for (int i = 0; i < graph->ComponentCount(); ++i)
        if (auto* item = dynamic_cast<TKX3_GraphItem*>(graph->Component(i)))
            values.push_back(item->GetPosition());
    return values;
}

float Value(int section, int i) {
    return static_cast<float>(section * 100 + i) + 0.5f;
}

} // namespace

class GraphPage : public LiveTest {
protected:
    GraphPage() : itsGraph(std::make_unique<TKXBW3_Graph>(nullptr)) {}

    void SetUp() override {
        Activate();
        // Distinct values in every element of both sections, 64 and 65 included.
        for (int section = 0; section < 2; ++section)
            for (int i = 0; i < 66; ++i)
                DriverSetSilent("Grapher" + std::to_string(section), "Diff",
                                std::to_string(Value(section, i)), i);
    }

    void SetLength(int section, int length) {
        DriverSet("Grapher" + std::to_string(section), "Length", std::to_string(length));
    }

    static std::vector<float> Expected(int section, int count) {
        std::vector<float> values;
        for (int i = 0; i < count; ++i)
            values.push_back(Value(section, i));
        return values;
    }

    std::unique_ptr<TKXBW3_Graph> itsGraph;
};

TEST_F(GraphPage, ShowsLengthValuesOfItsOwnSection) {
    SetLength(0, 5);
    EXPECT_EQ(Bands(itsGraph->KX3_Graph1), Expected(0, 5));
    EXPECT_EQ(itsGraph->KX3_Graph2->GetLength(), 0);

    // Section 1 redraws only the right graph.
    SetLength(1, 3);
    EXPECT_EQ(Bands(itsGraph->KX3_Graph2), Expected(1, 3));
    EXPECT_EQ(Bands(itsGraph->KX3_Graph1), Expected(0, 5));
}

TEST_F(GraphPage, ShowsAtMost64Values) {
    SetLength(0, 64);
    EXPECT_EQ(Bands(itsGraph->KX3_Graph1), Expected(0, 64));
    SetLength(0, 5);
    SetLength(0, 70);
    EXPECT_EQ(Bands(itsGraph->KX3_Graph1), Expected(0, 64));
    SetLength(1, 2147483647);
    EXPECT_EQ(Bands(itsGraph->KX3_Graph2), Expected(1, 64));
}

TEST_F(GraphPage, ZeroLeavesTheGraphAndANegativeLengthEmptiesIt) {
    SetLength(0, 5);
    SetLength(0, 0);
    EXPECT_EQ(Bands(itsGraph->KX3_Graph1), Expected(0, 5));
    SetLength(0, -3);
    EXPECT_EQ(itsGraph->KX3_Graph1->GetLength(), 0);
    SetLength(1, 4);
    SetLength(1, -2147483647 - 1);
    EXPECT_EQ(itsGraph->KX3_Graph2->GetLength(), 0);
}

TEST_F(GraphPage, ChangesWhileTheTabIsInactiveAreDropped) {
    SetLength(0, 5);
    itsGraph->SetEnabled(false);
    SetLength(0, 8);
    itsGraph->SetEnabled(true);
    Settle();
    EXPECT_EQ(Bands(itsGraph->KX3_Graph1), Expected(0, 5));
    SetLength(0, 8);
    EXPECT_EQ(Bands(itsGraph->KX3_Graph1), Expected(0, 8));
}

// The bars of both graphs share one scale, -10 to 400, on which the driver's "Diff" values show.
TEST(GraphPageLayout, BarsRangeFromMinus10To400) {
    TKXBW3_Graph graph(nullptr);
    for (TKX3_Graph* bars : {graph.KX3_Graph1, graph.KX3_Graph2}) {
        EXPECT_EQ(bars->GetMin(), -10.0f);
        EXPECT_EQ(bars->GetMax(), 400.0f);
    }
}

TEST(GraphPageLayout, SplitsTheWidthBetweenTheTwoGraphs) {
    TKXBW3_Graph graph(nullptr);
    graph.SetBounds(0, 0, 595, 400);
    EXPECT_EQ(graph.KX3_Graph1->GetBoundsRect(), Rect(0, 0, 297, 400));
    EXPECT_EQ(graph.KX3_Graph2->GetBoundsRect(), Rect(297, 0, 594, 400));
    graph.SetBounds(0, 0, 600, 300);
    EXPECT_EQ(graph.KX3_Graph2->GetBoundsRect(), Rect(300, 0, 600, 300));
}
