#include "text/gb18030_codec.h"

#include "text/gb18030_tables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace qlq::gb18030 {
namespace {

constexpr char32_t kEuro = 0x20AC;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr int kBmpFourByteCount = 39420; // 81 30 81 30 .. 84 31 A4 39
constexpr std::uint32_t kFourByteFlag = 0x80000000U;

std::span<const TwoByteBeyondBmp> beyondBmp() {
    return {kTwoByteBeyondBmp, kTwoByteBeyondBmpCount};
}

std::span<const FourByteRange> fourByteRanges() {
    return {kFourByteRanges, kFourByteRangeCount};
}

// The code of every BMP character, built once from the decoding tables: 0 for none, a two-byte
// code as is, a four-byte code as kFourByteFlag | its index.
struct EncodeTable {
    EncodeTable() {
        for (int lead = 0; lead < kLeadCount; ++lead) {
            for (int trail = 0; trail < kTrailCount; ++trail) {
                if (const char16_t c = kTwoByte[lead * kTrailCount + trail])
                    codes[c] = static_cast<std::uint32_t>((kFirstLead + lead) << 8 |
                                                          (kFirstTrail + trail));
            }
        }
        for (const FourByteRange& range : fourByteRanges()) {
            for (int k = 0; k < range.count; ++k)
                codes[range.first + k] =
                    kFourByteFlag | static_cast<std::uint32_t>(range.index + k);
        }
    }
    std::array<std::uint32_t, 0x10000> codes{};
};

const EncodeTable& encodeTable() {
    static const EncodeTable table;
    return table;
}

int writeFourByte(std::uint32_t index, unsigned char first, unsigned char* out) {
    out[0] = static_cast<unsigned char>(first + index / 12600);
    out[1] = static_cast<unsigned char>(0x30 + index / 1260 % 10);
    out[2] = static_cast<unsigned char>(0x81 + index / 10 % 126);
    out[3] = static_cast<unsigned char>(0x30 + index % 10);
    return 4;
}

// The characters with a two-byte code beyond the BMP also fit the supplementary arithmetic; that
// second form is left undecoded, so that writing back cannot turn it into the two-byte code.
bool hasTwoByteCode(char32_t c) {
    return std::any_of(beyondBmp().begin(), beyondBmp().end(),
                       [c](const TwoByteBeyondBmp& e) { return e.codePoint == c; });
}

DecodeStep decodeFourByte(const unsigned char* p, qsizetype n) {
    if (n < 4 || p[2] < 0x81 || p[2] > 0xFE || p[3] < 0x30 || p[3] > 0x39)
        return {};
    const int low = (p[1] - 0x30) * 1260 + (p[2] - 0x81) * 10 + (p[3] - 0x30);
    if (p[0] <= 0x84) {
        const int index = (p[0] - 0x81) * 12600 + low;
        if (index >= kBmpFourByteCount)
            return {};
        const auto ranges = fourByteRanges();
        const auto after =
            std::upper_bound(ranges.begin(), ranges.end(), index,
                             [](int i, const FourByteRange& range) { return i < range.index; });
        if (after == ranges.begin() || index >= (after - 1)->index + (after - 1)->count)
            return {};
        return {static_cast<char32_t>((after - 1)->first + (index - (after - 1)->index)), 4};
    }
    if (p[0] < 0x90 || p[0] > 0xE3)
        return {};
    const char32_t c = kFirstSupplementary + static_cast<char32_t>((p[0] - 0x90) * 12600 + low);
    if (c > kLastCodePoint || hasTwoByteCode(c))
        return {};
    return {c, 4};
}

} // namespace

DecodeStep decodeOne(const unsigned char* p, qsizetype n, bool euroByte) {
    const unsigned char lead = p[0];
    if (lead < 0x80)
        return {lead, 1};
    if (lead == 0x80)
        return euroByte ? DecodeStep{kEuro, 1} : DecodeStep{};
    if (lead == 0xFF || n < 2)
        return {};
    const unsigned char trail = p[1];
    if (trail >= 0x30 && trail <= 0x39)
        return decodeFourByte(p, n);
    if (trail < kFirstTrail || trail == 0x7F || trail == 0xFF)
        return {};
    if (const char16_t c = kTwoByte[(lead - kFirstLead) * kTrailCount + (trail - kFirstTrail)])
        return {c, 2};
    const int code = lead << 8 | trail;
    for (const TwoByteBeyondBmp& entry : beyondBmp()) {
        if (entry.code == code)
            return {entry.codePoint, 2};
    }
    return {};
}

int encodeOne(char32_t c, bool euroByte, unsigned char* out) {
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c == kEuro && euroByte) {
        out[0] = 0x80;
        return 1;
    }
    if (c < kFirstSupplementary) {
        const std::uint32_t code = encodeTable().codes[c];
        if (code == 0)
            return 0;
        if ((code & kFourByteFlag) != 0)
            return writeFourByte(code & ~kFourByteFlag, 0x81, out);
        out[0] = static_cast<unsigned char>(code >> 8);
        out[1] = static_cast<unsigned char>(code & 0xFF);
        return 2;
    }
    if (c > kLastCodePoint)
        return 0;
    for (const TwoByteBeyondBmp& entry : beyondBmp()) {
        if (entry.codePoint == c) {
            out[0] = static_cast<unsigned char>(entry.code >> 8);
            out[1] = static_cast<unsigned char>(entry.code & 0xFF);
            return 2;
        }
    }
    return writeFourByte(c - kFirstSupplementary, 0x90, out);
}

} // namespace qlq::gb18030
