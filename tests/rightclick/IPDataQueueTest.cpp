#include "rightclick/IPDataQueue.h"

#include <gtest/gtest.h>

namespace {

TEST(IPDataQueue, WritesAreIgnoredAndReadsGiveConstants) {
    TIPDataQueue queue(nullptr);
    queue.SetActive(true);
    queue.SetBaseName("Queue");
    queue.SetInputSiloSize(64);
    queue.SetInputSiloSpace(-3);
    queue.SetOutputSiloSize(128);
    queue.SetOutputSiloSpace(7);
    EXPECT_FALSE(queue.GetActive());
    EXPECT_EQ(queue.GetBaseName(), "");
    EXPECT_EQ(queue.GetInputSiloSize(), 0);
    EXPECT_EQ(queue.GetInputSiloSpace(), 0);
    EXPECT_EQ(queue.GetOutputSiloSize(), 0);
    EXPECT_EQ(queue.GetOutputSiloSpace(), 0);
}

TEST(IPDataQueue, DataEventIsStoredButNeverFired) {
    int calls = 0;
    tk::TComponent owner(nullptr);
    auto* queue = new TIPDataQueue(&owner);
    queue->OnDataEvent = [&calls](tk::TObject*, const std::string&, const std::string&,
                                  std::uint8_t, std::uint8_t, std::int32_t, std::int32_t, double,
                                  double) { ++calls; };
    queue->SetActive(true);
    queue->SetBaseName("Queue");
    EXPECT_TRUE(static_cast<bool>(queue->OnDataEvent));
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(calls, 0);
}

} // namespace
