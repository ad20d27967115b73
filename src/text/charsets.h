#pragma once

#include "text/gb18030_codec.h"
#include "text/gb18030_tables.h"
#include "text/utf_codec.h"

// Each charset's way of reading and writing one character, in the shape the loops of
// text_decoder.cpp, text_encoder.cpp and encoding_detector.cpp take. The common characters (a
// GBK pair, a three-byte UTF-8 sequence) are read inline: a call per character would make
// reading a large list several times slower.
namespace qlq::charset {

struct Gb18030 {
    static constexpr int kMaxBytesPerUnit = 4; // a BMP character takes at most four bytes
    bool euroByte = false;
    DecodeStep decode(const unsigned char* p, qsizetype n) const {
        using namespace gb18030;
        if (n >= 2 && p[0] >= kFirstLead && p[0] < 0xFF && p[1] >= kFirstTrail && p[1] != 0x7F &&
            p[1] != 0xFF) {
            if (const char16_t c =
                    kTwoByte[(p[0] - kFirstLead) * kTrailCount + (p[1] - kFirstTrail)])
                return {c, 2};
        }
        return decodeOne(p, n, euroByte);
    }
    int encode(char32_t c, unsigned char* out) const {
        return gb18030::encodeOne(c, euroByte, out);
    }
};

struct Utf8 {
    static constexpr int kMaxBytesPerUnit = 3;
    static DecodeStep decode(const unsigned char* p, qsizetype n) {
        if (n >= 3 && (p[0] & 0xF0U) == 0xE0 && (p[1] & 0xC0U) == 0x80 && (p[2] & 0xC0U) == 0x80) {
            const char32_t c = (p[0] & 0x0FU) << 12 | (p[1] & 0x3FU) << 6 | (p[2] & 0x3FU);
            if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF))
                return {c, 3};
        }
        return utf8::decodeOne(p, n);
    }
    static int encode(char32_t c, unsigned char* out) { return utf8::encodeOne(c, out); }
};

struct Utf16 {
    utf16::ByteOrder order = utf16::ByteOrder::LittleEndian;
    DecodeStep decode(const unsigned char* p, qsizetype n) const {
        return utf16::decodeOne(p, n, order);
    }
    int encode(char32_t c, unsigned char* out) const { return utf16::encodeOne(c, out, order); }
};

} // namespace qlq::charset
