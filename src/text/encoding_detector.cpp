#include "text/encoding_detector.h"

#include "text/charsets.h"

namespace qlq {
namespace {

// Realistic GBK text never comes near one undecodable byte per 3/4-byte UTF-8 sequence (short
// lines reach one per one); UTF-8 text with a stray Latin-1 byte has a dozen sequences per stray.
constexpr qsizetype kSequencesPerStray = 4;

struct Utf8Counts {
    qsizetype wide = 0;  // valid sequences of three or four bytes
    qsizetype stray = 0; // bytes that start no valid sequence
    bool enough() const { return wide > 0 && stray * kSequencesPerStray <= wide; }
};

Utf8Counts countUtf8(const unsigned char* p, qsizetype n) {
    Utf8Counts counts;
    qsizetype i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const DecodeStep step = charset::Utf8::decode(p + i, n - i);
        if (!step.valid()) {
            ++counts.stray;
            // Not even a sequence in every three remaining bytes could make up for the strays: a
            // GBK file stops here after a few characters.
            if (counts.stray * kSequencesPerStray > counts.wide + (n - i) / 3)
                return counts;
        } else if (step.length >= 3) {
            ++counts.wide;
        }
        i += step.length;
    }
    return counts;
}

struct GbCounts {
    qsizetype undecodable = 0; // 0x80 not counted: code page 936 reads it
    bool euroByte = false;     // 0x80 where a character starts
    bool euroPair = false;     // A2 E3, GB18030's "€"
};

GbCounts countGb(const unsigned char* p, qsizetype n) {
    GbCounts counts;
    const charset::Gb18030 gb{false};
    qsizetype i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const DecodeStep step = gb.decode(p + i, n - i);
        if (!step.valid() && p[i] == 0x80)
            counts.euroByte = true;
        else if (!step.valid())
            ++counts.undecodable;
        else if (p[i] == 0xA2 && p[i + 1] == 0xE3)
            counts.euroPair = true;
        i += step.length;
    }
    return counts;
}

} // namespace

TextEncoding detectEncoding(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE"))
        return TextEncoding::Utf16LeWithBom;
    if (bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16BeWithBom;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return TextEncoding::Utf8WithBom;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    const Utf8Counts utf8 = countUtf8(p, n);
    if (utf8.enough() && utf8.stray == 0)
        return TextEncoding::Utf8;
    const bool mayHoldEuroByte = bytes.contains('\x80');
    if (!utf8.enough() && !mayHoldEuroByte)
        return TextEncoding::Gb18030;
    const GbCounts gb = countGb(p, n);
    // A few strays in UTF-8 are believed only if the bytes are no clean GBK either.
    if (utf8.enough() && gb.undecodable > 0)
        return TextEncoding::Utf8;
    return gb.euroByte && !gb.euroPair ? TextEncoding::CodePage936 : TextEncoding::Gb18030;
}

} // namespace qlq
