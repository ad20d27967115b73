#pragma once

#include "text/text_encoding.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace qlq {

struct EncodedFile {
    QByteArray bytes;
    TextEncoding encoding = TextEncoding::Gb18030; // what decodeText will find in the bytes
};

// The bytes of a whole file holding the text, such that decodeText reads back this text in
// this encoding family. Where the plain encoding would be read otherwise:
// - UTF-8 without a CJK character (say, the list lost its last Chinese line) gets a UTF-8 mark;
// - GB18030 with an escape that would change how the file is read (0x80 read as code page 936's
//   "€", FF FE or FE FF read as a mark) writes such escapes as U+FFFD, which is how they were
//   shown;
// - GB18030 bytes that are also good UTF-8 (mojibake-like text) are written as UTF-16LE with its
//   mark: GB18030 has no mark that GBK programs understand, while Windows' profile functions and
//   Notepad read UTF-16LE; UTF-8 would keep the text too, but those functions cannot read it.
// Apart from escapes written as U+FFFD the text reads back exactly. Empty when encodeText refuses
// the text (a character the encoding has no code for, a lone surrogate that is no escape).
std::optional<EncodedFile> encodeForFile(const QString& text, TextEncoding encoding);

} // namespace qlq
