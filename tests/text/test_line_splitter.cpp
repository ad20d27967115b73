#include "text/line_splitter.h"

#include <gtest/gtest.h>

using namespace qlq;

TEST(LineSplitter, LineEndsFollowTheTailListRules) {
    EXPECT_TRUE(splitTailLines(u"").isEmpty());
    EXPECT_EQ(splitTailLines(u"\r\n"), QStringList({""}));
    EXPECT_EQ(splitTailLines(u"a\r\nb\r\n"), QStringList({"a", "b"}));
    EXPECT_EQ(splitTailLines(u"a\r\nb\r\n\r\n"), QStringList({"a", "b", ""}));
    EXPECT_EQ(splitTailLines(u"a\r\nb"), QStringList({"a", "b"}));
    // A lone CR ends a line; a lone LF is part of the tail; CR CR LF leaves an empty line.
    EXPECT_EQ(splitTailLines(u"a\rb\rc"), QStringList({"a", "b", "c"}));
    EXPECT_EQ(splitTailLines(u"a\nb\nc\n"), QStringList({"a\nb\nc\n"}));
    EXPECT_EQ(splitTailLines(u"a\n\r\nb"), QStringList({"a\n", "b"}));
    EXPECT_EQ(splitTailLines(u"a\r\r\nb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(splitTailLines(u"  padded  \r\n\t"), QStringList({"  padded  ", "\t"}));
}
