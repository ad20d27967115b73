#include "insert/insertion_composer.h"

#include <gtest/gtest.h>

using namespace qlq;

TEST(InsertionComposer, PiecesInOrder) {
    EXPECT_EQ(composeInsertion(QStringLiteral("尾巴"), false, QStringLiteral("own")),
              QStringLiteral("\u3000\r\n尾巴"));
    EXPECT_EQ(composeInsertion(QStringLiteral("尾巴"), true, QStringLiteral("[own]")),
              QStringLiteral("\u3000\r\n\u3000\r\n尾巴\r\n[own]"));
}

TEST(InsertionComposer, EmptyPartsAndBlanksGoInAsTheyAre) {
    EXPECT_EQ(composeInsertion(QString(), false, QString()), QStringLiteral("\u3000\r\n"));
    EXPECT_EQ(composeInsertion(QString(), true, QStringLiteral("own")),
              QStringLiteral("\u3000\r\n\u3000\r\n\r\nown"));
    EXPECT_EQ(composeInsertion(QStringLiteral(" t "), true, QString()),
              QStringLiteral("\u3000\r\n\u3000\r\n t \r\n"));
}
