#pragma once

#include <cstddef>
#include <cstdint>

// GB18030's mapping as data, generated from glibc's converter by tools/make_gb18030_tables.py.
namespace qlq::gb18030 {

inline constexpr int kFirstLead = 0x81;
inline constexpr int kLeadCount = 0xFE - kFirstLead + 1;
inline constexpr int kFirstTrail = 0x40;
inline constexpr int kTrailCount = 0xFE - kFirstTrail + 1;

// The character of every two-byte code, lead byte major, trail bytes 40-FE. 0 where the code has
// none in the BMP: trail 7F, and the codes listed in kTwoByteBeyondBmp.
extern const char16_t kTwoByte[kLeadCount * kTrailCount];

struct TwoByteBeyondBmp {
    std::uint16_t code; // lead byte << 8 | trail byte
    char32_t codePoint;
};
extern const TwoByteBeyondBmp kTwoByteBeyondBmp[];
extern const std::size_t kTwoByteBeyondBmpCount;

// Runs of four-byte codes from 81 30 81 30 (index 0) that map to consecutive BMP characters, in
// the order of their index. An index in no run has no character.
struct FourByteRange {
    std::uint16_t index;
    char16_t first;
    std::uint16_t count;
};
extern const FourByteRange kFourByteRanges[];
extern const std::size_t kFourByteRangeCount;

} // namespace qlq::gb18030
