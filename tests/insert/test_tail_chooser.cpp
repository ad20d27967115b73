#include "insert/next_random.h"
#include "insert/tail_chooser.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qlq;

TEST(TailChooser, ListOrderWalksAndWraps) {
    TailChooser chooser;
    std::vector<int> rows;
    rows.reserve(5);
    for (int i = 0; i < 5; ++i)
        rows.push_back(chooser.nextInListOrder(3));
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 0, 1}));
}

TEST(TailChooser, EveryResetPathDecidesTheNextRow) {
    TailChooser chooser;
    chooser.nextInListOrder(5);
    chooser.nextInListOrder(5);
    chooser.selectRow(2); // a List1 click
    EXPECT_EQ(chooser.nextInListOrder(5), 2);
    EXPECT_EQ(chooser.nextInListOrder(5), 3);
    chooser.afterReload(); // the edit button lost the focus
    EXPECT_EQ(chooser.nextInListOrder(5), 1);
    chooser.restart(); // start-up, random order unticked, the editor opened
    EXPECT_EQ(chooser.nextInListOrder(5), 0);
    chooser.selectRow(2);
    EXPECT_EQ(chooser.nextInListOrder(3), 2);
    EXPECT_EQ(chooser.nextInListOrder(3), 0);
}

TEST(TailChooser, PositionBeyondAShortenedListWrapsToTheStart) {
    TailChooser chooser;
    chooser.selectRow(8);
    chooser.nextInListOrder(10); // row 8
    EXPECT_EQ(chooser.nextInListOrder(3), 0);
    EXPECT_EQ(chooser.nextInListOrder(3), 1);
}

TEST(TailChooser, EmptyListStaysAtZeroInEitherOrder) {
    TailChooser chooser;
    EXPECT_EQ(chooser.nextInListOrder(0), 0);
    EXPECT_EQ(chooser.nextInListOrder(0), 0);
    EXPECT_EQ(chooser.lastIndex(), 0);
    EXPECT_EQ(chooser.nextAtRandom(0, 0.7f), 0);
}

TEST(TailChooser, RandomRowIsAlwaysInsideTheList) {
    TailChooser chooser;
    const float almostOne = 16777215.0f / 16777216.0f;
    for (int rows : {1, 3, 1000, 100000, 50000000})
        EXPECT_LT(chooser.nextAtRandom(rows, almostOne), rows);
    EXPECT_EQ(chooser.nextAtRandom(4, 0.5f), 2);
    // Random insertions leave the list position alone.
    chooser.selectRow(3);
    chooser.nextAtRandom(10, 0.1f);
    EXPECT_EQ(chooser.lastIndex(), 2);
}

TEST(NextRandom, SameSequenceEveryRunAndNeverOne) {
    NextRandom a, b;
    float lowest = 1.0f, highest = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        const float r = a.next();
        ASSERT_EQ(r, b.next());
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);
}
