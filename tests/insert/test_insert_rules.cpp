#include "insert/insertion_composer.h"
#include "insert/next_random.h"
#include "insert/tail_chooser.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qlq;
using namespace Qt::StringLiterals;

TEST(TailChooser, ListOrderWrapsAndEveryResetPathDecidesTheNextRow) {
    TailChooser chooser;
    const auto take = [&chooser](int rowCount) {
        const int row = chooser.nextInListOrder(rowCount);
        chooser.delivered(row);
        return row;
    };
    std::vector<int> rows;
    rows.reserve(4);
    for (int i = 0; i < 4; ++i)
        rows.push_back(take(3));
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 0}));
    chooser.selectRow(2); // a List1 click
    EXPECT_EQ(take(5), 2);
    EXPECT_EQ(take(5), 3);
    chooser.afterReload(); // the edit button lost the focus
    EXPECT_EQ(take(5), 1);
    chooser.restart(); // start-up, random order unticked, the editor opened
    EXPECT_EQ(take(5), 0);
    // A position beyond a shortened list starts over.
    chooser.selectRow(8);
    take(10);
    EXPECT_EQ(take(3), 0);
    EXPECT_EQ(take(3), 1);
}

TEST(TailChooser, RandomRowStaysInsideTheList) {
    EXPECT_EQ(TailChooser::atRandom(0, 0.7f), 0);
    const float almostOne = 16777215.0f / 16777216.0f;
    for (int rows : {1, 3, 1000, 100000, 50000000})
        EXPECT_LT(TailChooser::atRandom(rows, almostOne), rows);
    EXPECT_EQ(TailChooser::atRandom(4, 0.5f), 2);
}

TEST(NextRandom, SameSequenceEveryRunSpreadOverZeroToBelowOne) {
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

TEST(InsertionComposer, PiecesInOrderEmptyOnesIncluded) {
    const QString lead = QStringLiteral("\u3000\r\n");
    EXPECT_EQ(composeInsertion(u"尾巴"_s, false, u"own"_s), lead + u"尾巴"_s);
    EXPECT_EQ(composeInsertion(u"尾巴"_s, true, u"[own]"_s), lead + lead + u"尾巴\r\n[own]"_s);
    EXPECT_EQ(composeInsertion(QString(), false, QString()), lead);
    EXPECT_EQ(composeInsertion(QString(), true, u"own"_s), lead + lead + u"\r\nown"_s);
    EXPECT_EQ(composeInsertion(u" t "_s, true, QString()), lead + lead + u" t \r\n"_s);
}
