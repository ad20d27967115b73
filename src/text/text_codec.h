#pragma once

#include "text/text_encoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace qlq {

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Gb18030;
};

// A UTF-8 byte-order mark, or bytes that are valid UTF-8 and hold at least one sequence of three
// or four bytes (every CJK character), mean UTF-8; everything else is GB18030 (pure ASCII reads
// the same either way).
TextEncoding detectEncoding(QByteArrayView bytes);

// Decodes in the detected encoding. Bytes that are not valid in it become U+FFFD; nothing throws.
DecodedText decodeText(QByteArrayView bytes);
QString decodeAs(QByteArrayView bytes, TextEncoding encoding);

// Encodes for writing; a UTF-8-with-BOM file gets its mark back. Empty when the text cannot be
// represented (an unpaired surrogate, for instance).
std::optional<QByteArray> encodeText(const QString& text, TextEncoding encoding);

} // namespace qlq
