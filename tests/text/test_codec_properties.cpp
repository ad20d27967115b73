// The codec's two promises, checked on random input built from the pieces that trouble it:
// bytes read and written back are the same bytes; a text written for a file reads back as itself.
#include "support/encoding_family.h"
#include "text/display_text.h"
#include "text/file_encoder.h"
#include "text/text_codec.h"

#include <QList>

#include <gtest/gtest.h>

#include <random>

using namespace qlq;
using namespace Qt::StringLiterals;

TEST(CodecProperties, RandomBytesComeBackUnchanged) {
    QList<QByteArray> pieces;
    for (const QByteArray& hex :
         QByteArray("61 30 0d0a 80 ff a2e3 ceb2 81 3081 e4 bd a0 d8 dc 95329031 efbbbf fffe feff")
             .split(' '))
        pieces << QByteArray::fromHex(hex);
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        for (int n = static_cast<int>(random() % 9); n > 0; --n)
            bytes += pieces[static_cast<qsizetype>(random() % pieces.size())];
        const DecodedText decoded = decodeText(bytes);
        ASSERT_EQ(encodeText(decoded.text, decoded.encoding), bytes) << bytes.toHex().toStdString();
        const std::optional<EncodedFile> file = encodeForFile(decoded.text, decoded.encoding);
        ASSERT_TRUE(file && file->bytes == bytes && file->encoding == decoded.encoding);
    }
}

TEST(CodecProperties, RandomTextsReadBackInEveryEncoding) {
    // Escapes stand for bytes; the rest are characters of every length in every encoding.
    QStringList pieces = u"a|0|\r\n|尾|€|é|\uFEFF|浣|犲|ソ|\U0001F600"_s.split(u'|');
    for (const char16_t escape :
         {0xDC80, 0xDC81, 0xDCFF, 0xDCFE, 0xDCE4, 0xDCBD, 0xDC30, 0xDCD8, 0xDC00})
        pieces << QString(QChar(escape));
    std::mt19937 random(11);
    int fallbacks = 0;
    for (int round = 0; round < 20000; ++round) {
        QString text;
        for (int n = static_cast<int>(random() % 9); n > 0; --n)
            text += pieces[static_cast<qsizetype>(random() % pieces.size())];
        for (const TextEncoding encoding :
             {TextEncoding::Gb18030, TextEncoding::CodePage936, TextEncoding::Utf8,
              TextEncoding::Utf8WithBom, TextEncoding::Utf16LeWithBom,
              TextEncoding::Utf16BeWithBom}) {
            const std::optional<EncodedFile> file = encodeForFile(text, encoding);
            ASSERT_TRUE(file);
            const DecodedText read = decodeText(file->bytes);
            const auto trace = [&] {
                return text.toUtf8().toHex().toStdString() + " as " +
                       std::to_string(static_cast<int>(encoding)) + ": " +
                       file->bytes.toHex().toStdString();
            };
            ASSERT_EQ(read.encoding, file->encoding) << trace();
            // Each escape either reads back as itself or as the U+FFFD it was shown as.
            ASSERT_EQ(textForDisplay(read.text), textForDisplay(text)) << trace();
            ASSERT_EQ(read.text.size(), text.size()) << trace();
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (read.text[i] != text[i]) {
                    ASSERT_EQ(read.text[i], QChar::ReplacementCharacter) << trace();
                }
            }
            if (sameFamily(read.encoding, encoding))
                continue;
            // Only GB18030 that would read as UTF-8 moves, and only to UTF-16LE.
            ASSERT_TRUE(sameFamily(encoding, TextEncoding::Gb18030)) << trace();
            ASSERT_EQ(read.encoding, TextEncoding::Utf16LeWithBom) << trace();
            ++fallbacks;
        }
    }
    EXPECT_GT(fallbacks, 0); // the pieces do make such texts
}
