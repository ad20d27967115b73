#include "text/text_codec.h"

#include <gtest/gtest.h>

using namespace qlq;

namespace {

QByteArray bytes(std::initializer_list<unsigned char> list) {
    QByteArray b;
    for (unsigned char c : list)
        b.append(static_cast<char>(c));
    return b;
}

} // namespace

TEST(TextCodec, GbkBytesDecodeAsGb18030) {
    // "小尾巴" in GBK.
    const QByteArray gbk = bytes({0xD0, 0xA1, 0xCE, 0xB2, 0xB0, 0xCD});
    const DecodedText decoded = decodeText(gbk);
    EXPECT_EQ(decoded.encoding, TextEncoding::Gb18030);
    EXPECT_EQ(decoded.text, QStringLiteral("小尾巴"));
    EXPECT_EQ(encodeText(decoded.text, decoded.encoding), gbk);
}

TEST(TextCodec, FourByteGb18030SequencesCarryCharactersOutsideGbk) {
    // U+1F600 has no GBK form; GB18030 stores it as 94 39 FC 36.
    const QString emoji = QString::fromUcs4(U"尾\U0001F600巴");
    const std::optional<QByteArray> encoded = encodeText(emoji, TextEncoding::Gb18030);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(encoded->size(), 2 + 4 + 2);
    EXPECT_EQ(encoded->mid(2, 4), bytes({0x94, 0x39, 0xFC, 0x36}));
    EXPECT_EQ(decodeText(*encoded).text, emoji);
    EXPECT_EQ(decodeText(*encoded).encoding, TextEncoding::Gb18030);
}

TEST(TextCodec, Utf8IsRecognisedWithAndWithoutMark) {
    const QByteArray utf8 = QStringLiteral("小尾巴").toUtf8();
    EXPECT_EQ(detectEncoding(utf8), TextEncoding::Utf8);
    EXPECT_EQ(decodeText(utf8).text, QStringLiteral("小尾巴"));

    const QByteArray withBom = QByteArray("\xEF\xBB\xBF") + utf8;
    const DecodedText decoded = decodeText(withBom);
    EXPECT_EQ(decoded.encoding, TextEncoding::Utf8WithBom);
    EXPECT_EQ(decoded.text, QStringLiteral("小尾巴"));
    EXPECT_EQ(encodeText(decoded.text, decoded.encoding), withBom);
}

TEST(TextCodec, AsciiAndAmbiguousBytesStayGb18030) {
    EXPECT_EQ(detectEncoding("plain ascii\r\n"), TextEncoding::Gb18030);
    EXPECT_EQ(detectEncoding(""), TextEncoding::Gb18030);
    // Overlong and surrogate forms are not UTF-8.
    EXPECT_EQ(detectEncoding(bytes({0xC0, 0xAF})), TextEncoding::Gb18030);
    EXPECT_EQ(detectEncoding(bytes({0xED, 0xA0, 0x80})), TextEncoding::Gb18030);
    // A multi-byte sequence cut off at the end is not UTF-8 either.
    EXPECT_EQ(detectEncoding(bytes({'a', 0xE5, 0xB0})), TextEncoding::Gb18030);
}

TEST(TextCodec, GbkPairsThatLookLikeTwoByteUtf8StayGbk) {
    // "尾尾" in GBK is CE B2 CE B2, also valid UTF-8 for "ββ".
    const QByteArray gbk = bytes({0xCE, 0xB2, 0xCE, 0xB2});
    EXPECT_EQ(detectEncoding(gbk), TextEncoding::Gb18030);
    EXPECT_EQ(decodeText(gbk).text, QStringLiteral("尾尾"));
    // With a CJK character the file is UTF-8 even when it also holds two-byte sequences.
    EXPECT_EQ(detectEncoding(QStringLiteral("ββ尾").toUtf8()), TextEncoding::Utf8);
}

TEST(TextCodec, InvalidBytesBecomeReplacementCharactersWithoutLosingTheRest) {
    // A lone lead byte before CR LF, then a valid character.
    const QByteArray broken = bytes({0x81, 0x0D, 0x0A, 0xD0, 0xA1, 0xFF});
    const DecodedText decoded = decodeText(broken);
    EXPECT_EQ(decoded.encoding, TextEncoding::Gb18030);
    EXPECT_EQ(decoded.text, QStringLiteral("\uFFFD\r\n小\uFFFD"));
}

TEST(TextCodec, UnpairedSurrogateCannotBeEncoded) {
    QString text = QStringLiteral("a");
    text.append(QChar(0xD800));
    EXPECT_FALSE(encodeText(text, TextEncoding::Gb18030));
    EXPECT_FALSE(encodeText(text, TextEncoding::Utf8));
}
