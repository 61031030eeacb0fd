// The string list behind captions and radio group items.
#include "toolkit/Strings.h"

#include <gtest/gtest.h>

using namespace tk;

namespace {

TEST(StringsTest, EveryChangeIsReportedAndBatchesReportOnce) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.Add("Clear");
    list.Add("Monitor");
    list.Insert(1, "");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(list.GetText(), "Clear\n\nMonitor\n");

    list.BeginUpdate();
    list.Clear();
    for (const char* line : {"a", "b", "c", "d"}) {
        list.Add(line);
    }
    EXPECT_EQ(changes, 3);
    list.EndUpdate();
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(list.GetCount(), 4);

    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(changes, 4) << "nothing changed, nothing reported";
    list.Clear();
    list.Clear();
    EXPECT_EQ(changes, 5);
}

TEST(StringsTest, AssignTextAndBadIndexes) {
    TStringList list;
    list.SetText("one\r\ntwo\r\n\r\nfour");
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[2], "");
    EXPECT_EQ(list.IndexOf("four"), 3);
    EXPECT_EQ(list.IndexOf("five"), -1);

    TStringList copy;
    copy.Assign(&list);
    EXPECT_EQ(copy.Lines(), list.Lines());
    copy.Assign(nullptr);
    EXPECT_EQ(copy.GetCount(), 0);

    EXPECT_THROW(list.GetString(4), Exception);
    EXPECT_THROW(list.GetString(-1), Exception);
    EXPECT_THROW(list.Delete(9), Exception);
    EXPECT_THROW(list.Insert(6, "x"), Exception);
    list.Insert(4, "end");
    EXPECT_EQ(list[4], "end");
}

} // namespace
