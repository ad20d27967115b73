#include "text/line_splitter.h"
#include "text/text_codec.h"

#include <QList>

#include <gtest/gtest.h>

using namespace qlq;

TEST(TextCodec, DetectsDecodesAndWritesBackTheSameBytes) {
    struct Case {
        QByteArray bytes;
        TextEncoding encoding;
        QString text;
    };
    const QByteArray utf8 = QStringLiteral("小尾巴").toUtf8();
    const QList<Case> cases = {
        {"\xD0\xA1\xCE\xB2\xB0\xCD", TextEncoding::Gb18030, QStringLiteral("小尾巴")},
        // U+1F600 has no GBK form; GB18030 stores it as 94 39 FC 36.
        {"\xCE\xB2\x94\x39\xFC\x36\xB0\xCD", TextEncoding::Gb18030,
         QString::fromUcs4(U"尾\U0001F600巴")},
        {utf8, TextEncoding::Utf8, QStringLiteral("小尾巴")},
        {"\xEF\xBB\xBF" + utf8, TextEncoding::Utf8WithBom, QStringLiteral("小尾巴")},
        // "尾尾" in GBK is also UTF-8 for "ββ": two-byte pairs alone stay GBK, a CJK
        // character makes the file UTF-8.
        {"\xCE\xB2\xCE\xB2", TextEncoding::Gb18030, QStringLiteral("尾尾")},
        {QStringLiteral("ββ尾").toUtf8(), TextEncoding::Utf8, QStringLiteral("ββ尾")},
        {"plain ascii\r\n", TextEncoding::Gb18030, QStringLiteral("plain ascii\r\n")},
        {"", TextEncoding::Gb18030, QString()},
        // Only the encoding's own mark is taken away; a second U+FEFF is text.
        {"\xEF\xBB\xBF\xEF\xBB\xBF"
         "a",
         TextEncoding::Utf8WithBom, QStringLiteral("\uFEFFa")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const DecodedText decoded = decodeText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.text, c.text);
        EXPECT_EQ(encodeText(decoded.text, decoded.encoding), c.bytes);
    }
    // A leading U+FEFF survives a save and a reload in every encoding.
    const QString marked = QStringLiteral("\uFEFF尾巴");
    for (TextEncoding e : {TextEncoding::Gb18030, TextEncoding::Utf8, TextEncoding::Utf8WithBom})
        EXPECT_EQ(decodeAs(encodeText(marked, e).value_or(""), e), marked);
}

TEST(TextCodec, InvalidInputIsNotUtf8AndLosesNothingElse) {
    // Overlong, surrogate and cut-off sequences.
    for (const char* bytes : {"\xC0\xAF", "\xED\xA0\x80", "a\xE5\xB0"})
        EXPECT_EQ(detectEncoding(bytes), TextEncoding::Gb18030) << bytes;
    const DecodedText decoded = decodeText("\x81\r\n\xD0\xA1\xFF");
    EXPECT_EQ(decoded.encoding, TextEncoding::Gb18030);
    EXPECT_EQ(decoded.text, QStringLiteral("\uFFFD\r\n小\uFFFD"));
    // An unpaired surrogate cannot be written.
    const QString broken = QStringLiteral("a") + QChar(0xD800);
    EXPECT_FALSE(encodeText(broken, TextEncoding::Gb18030));
    EXPECT_FALSE(encodeText(broken, TextEncoding::Utf8));
}

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

    QString text;
    for (int i = 0; i < 100000; ++i)
        text += QStringLiteral("尾巴%1\r\n").arg(i);
    const QStringList lines = splitTailLines(text);
    ASSERT_EQ(lines.size(), 100000);
    EXPECT_EQ(lines.last(), QStringLiteral("尾巴99999"));
}
