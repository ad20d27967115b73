#pragma once

#include "text/encoding_detector.h"
#include "text/text_encoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace qlq {

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Gb18030;
};

// The mark a file in this encoding starts with; empty for those without one.
QByteArrayView byteOrderMark(TextEncoding encoding);

// Decodes in the detected encoding. Nothing is lost: a byte that no rule decodes becomes an
// escape (byte_escape.h) that encoding turns back into the same byte, so encodeText(text,
// encoding) gives the bytes back exactly. Show or paste the text through textForDisplay.
DecodedText decodeText(QByteArrayView bytes);
// Decodes as the given encoding; its mark is dropped when the bytes start with it.
QString decodeAs(QByteArrayView bytes, TextEncoding encoding);
// For a piece of a file (a line): no mark is looked for.
QString decodePart(QByteArrayView bytes, TextEncoding encoding);

// Encodes for writing, with the encoding's mark. An escape is written as its byte, unless that
// byte would read back as part of a character (an edit joined it to its neighbours, or it is an
// ASCII byte); it is then written as U+FFFD, which is how it was shown. Empty when the text holds
// a character the encoding has no code for, or a lone surrogate that is no escape.
std::optional<QByteArray> encodeText(const QString& text, TextEncoding encoding);
// For a piece of a file: no mark.
std::optional<QByteArray> encodePart(QStringView text, TextEncoding encoding);

} // namespace qlq
