#include "text/byte_escape.h"
#include "text/charsets.h"
#include "text/text_codec.h"

namespace qlq {
namespace {

// Every byte gives at most one UTF-16 unit (a four-byte sequence gives two, a unit two escapes),
// so the text is written straight into a string as long as the bytes.
template <typename Form>
QString decodeWith(QByteArrayView bytes, const Form& form, bool asciiIsOneByte) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    QString out(n, Qt::Uninitialized);
    auto* const begin = reinterpret_cast<char16_t*>(out.data());
    char16_t* dst = begin;
    qsizetype i = 0;
    while (i < n) {
        if (asciiIsOneByte && p[i] < 0x80) {
            *dst++ = p[i++];
            continue;
        }
        const DecodeStep step = form.decode(p + i, n - i);
        if (!step.valid()) {
            for (int k = 0; k < step.length; ++k)
                *dst++ = escapeFor(p[i + k]);
        } else if (QChar::requiresSurrogates(step.codePoint)) {
            *dst++ = QChar::highSurrogate(step.codePoint);
            *dst++ = QChar::lowSurrogate(step.codePoint);
        } else {
            *dst++ = static_cast<char16_t>(step.codePoint);
        }
        i += step.length;
    }
    out.truncate(dst - begin);
    return out;
}

} // namespace

QByteArrayView byteOrderMark(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8WithBom:
        return "\xEF\xBB\xBF";
    case TextEncoding::Utf16LeWithBom:
        return "\xFF\xFE";
    case TextEncoding::Utf16BeWithBom:
        return "\xFE\xFF";
    case TextEncoding::Gb18030:
    case TextEncoding::CodePage936:
    case TextEncoding::Utf8:
        break;
    }
    return {};
}

QString decodePart(QByteArrayView bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Gb18030:
    case TextEncoding::CodePage936:
        return decodeWith(bytes, charset::Gb18030{encoding == TextEncoding::CodePage936}, true);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithBom:
        return decodeWith(bytes, charset::Utf8{}, true);
    case TextEncoding::Utf16LeWithBom:
        break;
    case TextEncoding::Utf16BeWithBom:
        return decodeWith(bytes, charset::Utf16{utf16::ByteOrder::BigEndian}, false);
    }
    return decodeWith(bytes, charset::Utf16{utf16::ByteOrder::LittleEndian}, false);
}

QString decodeAs(QByteArrayView bytes, TextEncoding encoding) {
    // Only the encoding's own mark, and only once: a second U+FEFF is text.
    const QByteArrayView mark = byteOrderMark(encoding);
    if (!mark.isEmpty() && bytes.startsWith(mark))
        bytes = bytes.sliced(mark.size());
    return decodePart(bytes, encoding);
}

DecodedText decodeText(QByteArrayView bytes) {
    const TextEncoding encoding = detectEncoding(bytes);
    return DecodedText{decodeAs(bytes, encoding), encoding};
}

} // namespace qlq
