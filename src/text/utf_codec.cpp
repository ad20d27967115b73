#include "text/utf_codec.h"

#include <QChar>

namespace qlq::utf8 {

DecodeStep decodeOne(const unsigned char* p, qsizetype n) {
    const unsigned char c = p[0];
    if (c < 0x80)
        return {c, 1};
    int extra = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    char32_t value = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
        value = c & 0x1FU;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        value = c & 0x0FU;
        if (c == 0xE0)
            lo = 0xA0;
        if (c == 0xED)
            hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        value = c & 0x07U;
        if (c == 0xF0)
            lo = 0x90;
        if (c == 0xF4)
            hi = 0x8F;
    } else {
        return {};
    }
    if (n <= extra || p[1] < lo || p[1] > hi)
        return {};
    for (int k = 1; k <= extra; ++k) {
        if ((p[k] & 0xC0U) != 0x80)
            return {};
        value = value << 6 | (p[k] & 0x3FU);
    }
    return {value, extra + 1};
}

int encodeOne(char32_t c, unsigned char* out) {
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | c >> 6);
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3FU));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | c >> 12);
        out[1] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3FU));
        out[2] = static_cast<unsigned char>(0x80 | (c & 0x3FU));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | c >> 18);
    out[1] = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3FU));
    out[2] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3FU));
    out[3] = static_cast<unsigned char>(0x80 | (c & 0x3FU));
    return 4;
}

} // namespace qlq::utf8

namespace qlq::utf16 {
namespace {

void putUnit(char16_t unit, unsigned char* out, ByteOrder order) {
    const auto low = static_cast<unsigned char>(unit & 0xFFU);
    const auto high = static_cast<unsigned char>(unit >> 8);
    out[0] = order == ByteOrder::LittleEndian ? low : high;
    out[1] = order == ByteOrder::LittleEndian ? high : low;
}

} // namespace

DecodeStep decodeOne(const unsigned char* p, qsizetype n, ByteOrder order) {
    if (n < 2)
        return {};
    const char16_t unit = unitOf(p[0], p[1], order);
    if (!QChar::isSurrogate(unit))
        return {unit, 2};
    if (QChar::isHighSurrogate(unit) && n >= 4) {
        const char16_t low = unitOf(p[2], p[3], order);
        if (QChar::isLowSurrogate(low))
            return {QChar::surrogateToUcs4(unit, low), 4};
    }
    return {DecodeStep::kNone, 2};
}

int encodeOne(char32_t c, unsigned char* out, ByteOrder order) {
    if (c < 0x10000) {
        putUnit(static_cast<char16_t>(c), out, order);
        return 2;
    }
    putUnit(QChar::highSurrogate(c), out, order);
    putUnit(QChar::lowSurrogate(c), out + 2, order);
    return 4;
}

} // namespace qlq::utf16
