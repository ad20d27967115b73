#include "insert/insertion_composer.h"
#include "insert/next_random.h"
#include "insert/tail_chooser.h"

#include <gtest/gtest.h>

using namespace qlq;
using namespace Qt::StringLiterals;

TEST(TailChooser, ListOrderWrapsAndEveryResetPathDecidesTheNextRow) {
    TailChooser chooser;
    const auto take = [&chooser](int rowCount) {
        const int row = chooser.nextInListOrder(rowCount);
        chooser.delivered(row);
        return row;
    };
    for (const int row : {0, 1, 2, 0})
        EXPECT_EQ(take(3), row);
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
}

TEST(NextRandom, TheSameSequenceEveryRunSpreadOverZeroToBelowOne) {
    NextRandom random;
    // Every run starts here: random order takes the same tails for the same presses.
    for (const float expected : {0.305389762f, 0.739836812f, 0.485197186f, 0.0976090431f})
        EXPECT_FLOAT_EQ(random.next(), expected);
    float lowest = 1.0f, highest = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        const float r = random.next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);
}

TEST(InsertionComposer, PiecesInOrderEmptyOnesIncluded) {
    struct Case {
        QString tail;
        bool own;
        QString ownTail, expected;
    };
    for (const Case& c : {
             Case{u"尾巴"_s, false, u"own"_s, u"\u3000\r\n尾巴"_s},
             Case{u"尾巴"_s, true, u"[own]"_s, u"\u3000\r\n\u3000\r\n尾巴\r\n[own]"_s},
             Case{QString(), false, QString(), u"\u3000\r\n"_s},
             Case{QString(), true, u"own"_s, u"\u3000\r\n\u3000\r\n\r\nown"_s},
             Case{u" t "_s, true, QString(), u"\u3000\r\n\u3000\r\n t \r\n"_s},
         })
        EXPECT_EQ(composeInsertion(c.tail, c.own, c.ownTail), c.expected) << c.tail.toStdString();
}
