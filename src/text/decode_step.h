#pragma once

namespace qlq {

// What a decoder finds at the front of some bytes: one character, or bytes that start none (each
// of them is then kept as an escape, see byte_escape.h). Eight bytes, so that it comes back in a
// register: reading a large file makes one per character.
struct DecodeStep {
    static constexpr char32_t kNone = 0xFFFFFFFF;

    char32_t codePoint = kNone;
    int length = 1; // bytes taken

    bool valid() const { return codePoint != kNone; }
};

} // namespace qlq
