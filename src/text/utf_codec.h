#pragma once

#include "text/decode_step.h"

#include <QtGlobal>

// The two Unicode forms files come in, one character at a time. Decoding is strict: whatever is
// not a well-formed sequence starts no character and is left to the caller's escapes.
namespace qlq::utf8 {

// Reads the character at the front of p[0..n), n >= 1. No overlong forms, no surrogates, nothing
// above U+10FFFF; an invalid sequence takes one byte.
DecodeStep decodeOne(const unsigned char* p, qsizetype n);
// Writes c (not a surrogate) to out (room for four bytes); returns the length.
int encodeOne(char32_t c, unsigned char* out);

} // namespace qlq::utf8

namespace qlq::utf16 {

// The order of the two bytes of a unit.
enum class ByteOrder { LittleEndian, BigEndian };

// Reads one unit, or a surrogate pair, from the front of p[0..n), n >= 1. A surrogate without
// its partner is two undecodable bytes; so is a lone last byte (one), keeping the units aligned.
DecodeStep decodeOne(const unsigned char* p, qsizetype n, ByteOrder order);
// Writes c (not a surrogate) to out (room for four bytes); returns the length.
int encodeOne(char32_t c, unsigned char* out, ByteOrder order);

// The unit that two bytes, in file order, make.
constexpr char16_t unitOf(unsigned char first, unsigned char second, ByteOrder order) {
    return order == ByteOrder::LittleEndian ? static_cast<char16_t>(first | second << 8)
                                            : static_cast<char16_t>(first << 8 | second);
}

} // namespace qlq::utf16
