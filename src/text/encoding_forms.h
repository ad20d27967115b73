#pragma once

#include "text/gb18030_codec.h"
#include "text/utf_codec.h"

// Each encoding's way of reading and writing one character, in the shape the decoding and
// encoding loops of text_decoder.cpp and text_encoder.cpp take.
namespace qlq::forms {

struct Gb18030 {
    static constexpr int kMaxBytesPerUnit = 4; // a BMP character takes at most four bytes
    bool euroByte = false;
    DecodeStep decode(const unsigned char* p, qsizetype n) const {
        return gb18030::decodeOne(p, n, euroByte);
    }
    int encode(char32_t c, unsigned char* out) const {
        return gb18030::encodeOne(c, euroByte, out);
    }
};

struct Utf8 {
    static constexpr int kMaxBytesPerUnit = 3;
    static DecodeStep decode(const unsigned char* p, qsizetype n) { return utf8::decodeOne(p, n); }
    static int encode(char32_t c, unsigned char* out) { return utf8::encodeOne(c, out); }
};

struct Utf16Le {
    static DecodeStep decode(const unsigned char* p, qsizetype n) {
        return utf16le::decodeOne(p, n);
    }
    static int encode(char32_t c, unsigned char* out) { return utf16le::encodeOne(c, out); }
};

} // namespace qlq::forms
