#pragma once

#include <QChar>

namespace qlq {

// A byte that no rule of the file's encoding decodes stays in the text as an escape: the lone low
// surrogate U+DC00 + byte. Decoded text never holds a lone surrogate otherwise, so an escape is
// never mistaken for a character, and encoding puts the same byte back in its place.
inline constexpr char16_t kFirstEscape = 0xDC00;

constexpr char16_t escapeFor(unsigned char byte) {
    return static_cast<char16_t>(kFirstEscape + byte);
}

// For a unit that stands alone (not the second half of a pair).
constexpr bool isEscape(char32_t unit) {
    return unit >= kFirstEscape && unit <= kFirstEscape + 0xFF;
}

constexpr unsigned char escapedByte(char32_t unit) {
    return static_cast<unsigned char>(unit - kFirstEscape);
}

} // namespace qlq
