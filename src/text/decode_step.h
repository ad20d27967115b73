#pragma once

namespace qlq {

// What a decoder finds at the front of some bytes: one character, or bytes that start none (each
// of them is then kept as an escape, see byte_escape.h).
struct DecodeStep {
    char32_t codePoint = 0;
    int length = 1; // bytes taken
    bool valid = false;
};

} // namespace qlq
