#pragma once

#include <QString>

namespace qlq {

// The text as it may be shown or put on the clipboard: every escape (byte_escape.h), and any
// other surrogate without its partner, becomes U+FFFD "�". Decoded text keeps its escapes so that
// a save writes the file's bytes back; anything that leaves the program goes through here.
QString textForDisplay(const QString& text);

} // namespace qlq
