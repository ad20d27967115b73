// The codec's two promises on arbitrary input: the bytes of a file, read and written back the way
// they were read, are the same bytes; a text (the input taken as UTF-16, escapes and broken
// surrogates included) written for a file in any encoding reads back as itself.
#include "fuzz_check.h"
#include "support/encoding_family.h"
#include "text/byte_escape.h"
#include "text/file_encoder.h"
#include "text/text_codec.h"

#include <cstdint>
#include <cstring>

using namespace qlq;

namespace {

bool isLoneAt(const QString& text, qsizetype i) {
    if (text[i].isHighSurrogate())
        return i + 1 == text.size() || !text[i + 1].isLowSurrogate();
    return text[i].isLowSurrogate() && (i == 0 || !text[i - 1].isHighSurrogate());
}

void checkFileRoundTrip(QByteArrayView bytes) {
    const DecodedText decoded = decodeText(bytes);
    QLQ_FUZZ_CHECK(encodeText(decoded.text, decoded.encoding) == bytes.toByteArray());
    const std::optional<EncodedFile> file = encodeForFile(decoded.text, decoded.encoding);
    QLQ_FUZZ_CHECK(file && file->bytes == bytes && file->encoding == decoded.encoding);
}

// Refused only for a lone surrogate that is no escape, or, in GB18030, for one of the few
// private-use characters glibc gives no code.
bool mayBeRefused(const QString& text, TextEncoding encoding) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (isLoneAt(text, i) && !isEscape(u))
            return true;
        if (sameFamily(encoding, TextEncoding::Gb18030) && u >= 0xE000 && u <= 0xF8FF)
            return true;
    }
    return false;
}

void checkTextRoundTrip(const QString& text) {
    for (const TextEncoding encoding :
         {TextEncoding::Gb18030, TextEncoding::CodePage936, TextEncoding::Utf8,
          TextEncoding::Utf8WithBom, TextEncoding::Utf16LeWithBom, TextEncoding::Utf16BeWithBom}) {
        const std::optional<EncodedFile> file = encodeForFile(text, encoding);
        if (!file) {
            QLQ_FUZZ_CHECK(mayBeRefused(text, encoding));
            continue;
        }
        const DecodedText read = decodeText(file->bytes);
        QLQ_FUZZ_CHECK(read.encoding == file->encoding);
        // Escapes read back as themselves, or as the U+FFFD they were shown as.
        QLQ_FUZZ_CHECK(read.text.size() == text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            QLQ_FUZZ_CHECK(read.text[i] == text[i] ||
                           (isLoneAt(text, i) && read.text[i] == QChar::ReplacementCharacter));
        }
        // Only GB18030 that would read as UTF-8 changes family, to UTF-16LE.
        QLQ_FUZZ_CHECK(sameFamily(read.encoding, encoding) ||
                       (sameFamily(encoding, TextEncoding::Gb18030) &&
                        read.encoding == TextEncoding::Utf16LeWithBom));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    checkFileRoundTrip(bytes);

    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    checkTextRoundTrip(text);
    return 0;
}
