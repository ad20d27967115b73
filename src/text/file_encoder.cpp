#include "text/file_encoder.h"

#include "text/byte_escape.h"
#include "text/display_text.h"
#include "text/text_codec.h"

namespace qlq {
namespace {

// The encoding the bytes will be read in, if they are read as written. Code page 936 bytes
// without a 0x80 read as GB18030, which decodes them alike: nothing encodes to A2 E3 there.
std::optional<TextEncoding> readBackEncoding(const QByteArray& bytes, TextEncoding written) {
    const TextEncoding detected = detectEncoding(bytes);
    if (detected == written ||
        (written == TextEncoding::CodePage936 && detected == TextEncoding::Gb18030))
        return detected;
    return std::nullopt;
}

// The text with its escapes of 0x80 shown as U+FFFD: without them, GB18030 bytes cannot be
// taken for code page 936.
QString withEuroByteEscapesShown(const QString& text) {
    QString shown = text;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown.at(i).unicode() == escapeFor(0x80) &&
            (i == 0 || !shown.at(i - 1).isHighSurrogate()))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

std::optional<EncodedFile> encodedAs(const QString& text, TextEncoding encoding) {
    std::optional<QByteArray> bytes = encodeText(text, encoding);
    if (!bytes)
        return std::nullopt;
    if (const std::optional<TextEncoding> read = readBackEncoding(*bytes, encoding))
        return EncodedFile{*std::move(bytes), *read};
    return std::nullopt;
}

} // namespace

std::optional<EncodedFile> encodeForFile(const QString& text, TextEncoding encoding) {
    std::optional<QByteArray> bytes = encodeText(text, encoding);
    if (!bytes)
        return std::nullopt;
    if (const std::optional<TextEncoding> read = readBackEncoding(*bytes, encoding))
        return EncodedFile{*std::move(bytes), *read};

    switch (encoding) {
    case TextEncoding::Utf8:
        bytes->prepend(byteOrderMark(TextEncoding::Utf8WithBom));
        return EncodedFile{*std::move(bytes), TextEncoding::Utf8WithBom};
    case TextEncoding::Utf8WithBom:
    case TextEncoding::Utf16LeWithBom: // the mark decides: never read otherwise
    case TextEncoding::Utf16BeWithBom:
        return EncodedFile{*std::move(bytes), encoding};
    case TextEncoding::Gb18030:
    case TextEncoding::CodePage936:
        break;
    }
    if (encoding == TextEncoding::Gb18030 && detectEncoding(*bytes) == TextEncoding::CodePage936) {
        if (std::optional<EncodedFile> file = encodedAs(withEuroByteEscapesShown(text), encoding))
            return file;
    }
    const QString shown = textForDisplay(text);
    if (shown != text) {
        if (std::optional<EncodedFile> file = encodedAs(shown, encoding))
            return file;
    }
    return EncodedFile{encodeText(shown, TextEncoding::Utf16LeWithBom).value_or(QByteArray()),
                       TextEncoding::Utf16LeWithBom};
}

} // namespace qlq
