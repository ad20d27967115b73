// The codec on arbitrary bytes: first as the contents of a file, then as UTF-16 text to save.
#include "fuzz_check.h"
#include "text/text_codec.h"

#include <cstdint>
#include <cstring>

using namespace qlq;

namespace {

bool hasUnpairedSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

// What the program does with a file: read it, write it back the way it was read, read it again.
// The second reading must give the same text and the same encoding, so a save never changes
// what the user sees (only broken bytes, already shown as U+FFFD, are normalised).
void checkFileRoundTrip(QByteArrayView bytes) {
    const DecodedText first = decodeText(bytes);
    QLQ_FUZZ_CHECK(!hasUnpairedSurrogate(first.text));
    const std::optional<QByteArray> saved = encodeText(first.text, first.encoding);
    QLQ_FUZZ_CHECK(saved.has_value());
    const DecodedText second = decodeText(*saved);
    QLQ_FUZZ_CHECK(second.encoding == first.encoding);
    QLQ_FUZZ_CHECK(second.text == first.text);
    QLQ_FUZZ_CHECK(encodeText(second.text, second.encoding) == saved);
}

// A text the user typed: either it cannot be stored (and says so) or it reads back unchanged in
// the encoding it was stored in.
void checkTextRoundTrip(const QString& text) {
    const bool broken = hasUnpairedSurrogate(text);
    for (const TextEncoding encoding :
         {TextEncoding::Gb18030, TextEncoding::Utf8, TextEncoding::Utf8WithBom}) {
        const std::optional<QByteArray> bytes = encodeText(text, encoding);
        if (broken) {
            QLQ_FUZZ_CHECK(!bytes.has_value());
            continue;
        }
        // GB18030 in glibc has no form for a handful of private-use characters: refusing them
        // is right, any other refusal is not.
        if (!bytes) {
            QLQ_FUZZ_CHECK(encoding == TextEncoding::Gb18030);
            bool privateUse = false;
            for (const QChar c : text)
                privateUse = privateUse || (c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF);
            QLQ_FUZZ_CHECK(privateUse);
            continue;
        }
        QLQ_FUZZ_CHECK(decodeAs(*bytes, encoding) == text);
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
