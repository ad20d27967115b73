#include "support/temp_dir.h"
#include "text/display_text.h"
#include "text/file_encoder.h"
#include "text/text_codec.h"

#include <QList>

#include <gtest/gtest.h>

using namespace qlq;
using namespace Qt::StringLiterals;

namespace {

QString escapes(std::initializer_list<unsigned char> bytes) {
    QString text;
    for (unsigned char b : bytes)
        text += QChar(char16_t(0xDC00 + b));
    return text;
}

const QString kSamples = QStringLiteral(QLQ_SAMPLES_DIR "/");

} // namespace

TEST(TextCodec, DetectsDecodesAndWritesBackTheSameBytes) {
    struct Case {
        QByteArray bytes;
        TextEncoding encoding;
        QString text;
    };
    const QByteArray utf8 = u"小尾巴"_s.toUtf8();
    const QList<Case> cases = {
        {"\xD0\xA1\xCE\xB2\xB0\xCD", TextEncoding::Gb18030, u"小尾巴"_s},
        // U+1F600 has no GBK form; GB18030 stores it as 94 39 FC 36. FE 51 is a two-byte code
        // beyond the BMP; its arithmetic four-byte twin 95 32 90 31 stays bytes, or a save would
        // turn it into FE 51.
        {"\xCE\xB2\x94\x39\xFC\x36\xFE\x51\x95\x32\x90\x31", TextEncoding::Gb18030,
         QString::fromUcs4(U"尾\U0001F600\U00020087") + escapes({0x95}) + u"2"_s + escapes({0x90}) +
             u"1"_s},
        {utf8, TextEncoding::Utf8, u"小尾巴"_s},
        {"\xEF\xBB\xBF" + utf8, TextEncoding::Utf8WithBom, u"小尾巴"_s},
        {QByteArrayLiteral("\xFF\xFE\x3E\x5C\x0D\x00\x0A\x00\x3D\xD8\x00\xDE"),
         TextEncoding::Utf16LeWithBom, QString::fromUcs4(U"尾\r\n\U0001F600")},
        // "尾尾" in GBK is also UTF-8 for "ββ": two-byte pairs alone stay GBK, a CJK
        // character makes the file UTF-8.
        {"\xCE\xB2\xCE\xB2", TextEncoding::Gb18030, u"尾尾"_s},
        {u"ββ尾"_s.toUtf8(), TextEncoding::Utf8, u"ββ尾"_s},
        {"plain ascii\r\n", TextEncoding::Gb18030, u"plain ascii\r\n"_s},
        {"", TextEncoding::Gb18030, QString()},
        // Only the encoding's own mark is taken away; a second U+FEFF is text.
        {"\xEF\xBB\xBF\xEF\xBB\xBF\x61", TextEncoding::Utf8WithBom, u"\uFEFFa"_s},
        // Code page 936 writes "€" as 0x80. With GB18030's own A2 E3 beside it, 0x80 is a byte.
        {"t=price \x80\r\n", TextEncoding::CodePage936, u"t=price €\r\n"_s},
        {"\x80\xA2\xE3", TextEncoding::Gb18030, escapes({0x80}) + u"€"_s},
        // Bytes no rule decodes are kept, in every encoding.
        {"\x81\r\n\xD0\xA1\xFF", TextEncoding::Gb18030,
         escapes({0x81}) + u"\r\n小"_s + escapes({0xFF})},
        {"\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE8\xBF\x99\xE6\x98\xAF\r\ncaf\xE9",
         TextEncoding::Utf8, u"你好，这是\r\ncaf"_s + escapes({0xE9})},
        {QByteArrayLiteral("\xFF\xFE\x00\xD8\x41\x00\x00\xDC\x42"), TextEncoding::Utf16LeWithBom,
         escapes({0x00, 0xD8}) + u"A"_s + escapes({0x00, 0xDC, 0x42})},
        {QByteArrayLiteral("\xFE\xFF\x5C\x3E\x00\x0D\xD8\x3D\xDE\x00\xD8\x00\x00"),
         TextEncoding::Utf16BeWithBom,
         QString::fromUcs4(U"尾\r\U0001F600") + escapes({0xD8, 0x00, 0x00})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const DecodedText decoded = decodeText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.text, c.text);
        EXPECT_EQ(encodeText(decoded.text, decoded.encoding), c.bytes);
        const std::optional<EncodedFile> file = encodeForFile(decoded.text, decoded.encoding);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->bytes, c.bytes);
    }
    // Nothing but a byte's escape can stand alone; GB18030 has no code for a few private-use
    // characters (glibc moved their codes to standard ones).
    for (const QString& text : {u"a"_s + QChar(0xD800), u"a"_s + QChar(0xDE00), u"\uE78D"_s})
        EXPECT_FALSE(encodeText(text, TextEncoding::Gb18030)) << text.toStdString();
    EXPECT_FALSE(encodeText(u"a"_s + QChar(0xD800), TextEncoding::Utf16BeWithBom));
}

TEST(TextCodec, UndecodableBytesAreShownAsReplacementCharacters) {
    const QString text =
        u"a"_s + escapes({0x81}) + QString::fromUcs4(U"\U00010080") + QChar(0xD800);
    EXPECT_EQ(textForDisplay(text), u"a\uFFFD"_s + QString::fromUcs4(U"\U00010080") + u"\uFFFD"_s);
}

TEST(EncodingDetector, RealisticGbkStaysGbkAndStrayBytesDoNotSpoilUtf8) {
    // The samples, whole and line by line; short GBK strings that come closest to looking like
    // UTF-8 (one stray byte per three-byte sequence, or two for four bytes), one with a broken
    // byte; and clean GBK that holds eight three-byte UTF-8 sequences and two strays.
    QList<QByteArray> gbk = readFile(kSamples + u"qinglanque.ini"_s).split('\n');
    gbk << readFile(kSamples + u"qinglanque.ini"_s) << readFile(kSamples + u"corvane.ini"_s)
        << "\xB9\xE3\xB6\xAB\xCA\xA1"             // 广东省
        << "\xB6\xEB\xB3\xAD"                     // 峨抄
        << "\xB7\xF1\xBC\xB3\xB3\xE1\xB7\xA8\xFF" // 否汲翅法 and a stray
        << QByteArray("\xE4\xB0\xB0\xE4\xB0\xB0").repeated(4) + "\xB0\xA1"; // 浒颁鞍…啊
    for (const QByteArray& bytes : gbk)
        EXPECT_NE(detectEncoding(bytes), TextEncoding::Utf8) << bytes.toHex().toStdString();

    // The sample list converted to UTF-8, with a Latin-1 "é" or a cut-off sequence in one line.
    const QByteArray utf8 = decodeText(readFile(kSamples + u"qinglanque.ini"_s)).text.toUtf8();
    for (const QByteArray& stray : {QByteArray("caf\xE9\r\n"), QByteArray("\xE5\xB0\r\n")}) {
        const DecodedText decoded = decodeText(stray + utf8);
        EXPECT_EQ(decoded.encoding, TextEncoding::Utf8);
        EXPECT_TRUE(decoded.text.endsWith(QString::fromUtf8(utf8)));
    }
}

TEST(FileEncoder, WhatIsWrittenReadsBackInTheSameFamily) {
    const auto written = [](const QString& text, TextEncoding encoding) {
        EncodedFile file = encodeForFile(text, encoding).value_or(EncodedFile{});
        const DecodedText read = decodeText(file.bytes);
        EXPECT_EQ(read.encoding, file.encoding);
        EXPECT_EQ(textForDisplay(read.text), textForDisplay(text));
        return file;
    };
    // A UTF-8 list that lost its last CJK line would read as GB18030 ("caf茅"): it gets a mark.
    EXPECT_EQ(written(u"café\r\n"_s, TextEncoding::Utf8).bytes,
              "\xEF\xBB\xBF\x63\x61\x66\xC3\xA9\r\n");
    EXPECT_EQ(written(u"\uFEFFa"_s, TextEncoding::Utf8).encoding, TextEncoding::Utf8WithBom);
    // GB18030 bytes that are good UTF-8 ("浣犲ソ" is 你好 in UTF-8) are written as UTF-16LE.
    EXPECT_EQ(written(u"浣犲ソ"_s, TextEncoding::Gb18030).encoding, TextEncoding::Utf16LeWithBom);
    // Code page 936 without "€" left is plain GB18030; GB18030 writes "€" as A2 E3.
    EXPECT_EQ(written(u"尾巴"_s, TextEncoding::CodePage936).encoding, TextEncoding::Gb18030);
    EXPECT_EQ(written(u"€"_s, TextEncoding::Gb18030).bytes, "\xA2\xE3");
    EXPECT_EQ(written(u"€"_s, TextEncoding::CodePage936).bytes, "\x80");
    // Only the escapes of 0x80 go when they alone would make the file code page 936.
    EXPECT_EQ(written(escapes({0x80, 0xFF}), TextEncoding::Gb18030).bytes, "\x84\x31\xA4\x37\xFF");
    // Escapes that would read back as something else are written as U+FFFD: 0x80 without A2 E3
    // (code page 936's "€"), FF FE in front (a mark), bytes an edit joined into a character.
    // The UTF-8 one has too many strays left to be UTF-8 without a mark.
    const struct {
        QString text;
        TextEncoding encoding, written;
    } joined[] = {
        {escapes({0x80}) + u"a"_s, TextEncoding::Gb18030, TextEncoding::Gb18030},
        {escapes({0xFF, 0xFE}) + u"a"_s, TextEncoding::Gb18030, TextEncoding::Gb18030},
        {escapes({0x81}) + u"A0"_s + escapes({0x81}) + u"0"_s + escapes({0x81}) + u"0"_s,
         TextEncoding::Gb18030, TextEncoding::Gb18030},
        {escapes({0xE4, 0xBD, 0xA0}) + u"你好"_s, TextEncoding::Utf8, TextEncoding::Utf8WithBom},
        {escapes({0x3D, 0xD8}) + escapes({0x00, 0xDC}) + escapes({0x41}) + u"B"_s,
         TextEncoding::Utf16LeWithBom, TextEncoding::Utf16LeWithBom},
    };
    for (const auto& [text, encoding, expected] : joined) {
        const EncodedFile file = written(text, encoding);
        EXPECT_EQ(file.encoding, expected) << file.bytes.toHex().toStdString();
        EXPECT_TRUE(decodeText(file.bytes).text.contains(QChar::ReplacementCharacter));
    }
}
