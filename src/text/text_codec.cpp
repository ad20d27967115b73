#include "text/text_codec.h"

#include <QStringDecoder>

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace qlq {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

bool hasBom(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(kBom, 3));
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
struct Utf8Scan {
    bool valid = true;
    bool wide = false; // a sequence of three or four bytes
};

Utf8Scan scanUtf8(QByteArrayView bytes) {
    Utf8Scan scan;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                lo = 0xA0;
            if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                lo = 0x90;
            if (c == 0xF4)
                hi = 0x8F;
        } else {
            scan.valid = false;
            return scan;
        }
        if (i + extra >= n) {
            scan.valid = false;
            return scan;
        }
        if (p[i + 1] < lo || p[i + 1] > hi) {
            scan.valid = false;
            return scan;
        }
        for (int k = 2; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                scan.valid = false;
                return scan;
            }
        }
        if (extra >= 2)
            scan.wide = true;
        i += extra + 1;
    }
    return scan;
}

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle openIconv(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    // iconv_open reports failure as (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr)
        return nullptr;
    return IconvHandle(cd);
}

// Converts with iconv. A byte it cannot take is either replaced by U+FFFD and skipped, or ends
// the conversion with nothing.
std::optional<QByteArray> convert(QByteArrayView input, const char* to, const char* from,
                                  bool replaceInvalid) {
    IconvHandle cd = openIconv(to, from);
    if (!cd)
        return std::nullopt;
    QByteArray out;
    out.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = static_cast<size_t>(input.size());
    char* dst = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        const size_t r = iconv(cd.get(), &in, &inLeft, &dst, &outLeft);
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
            continue;
        }
        // EILSEQ or EINVAL (a sequence cut off at the end).
        if (!replaceInvalid)
            return std::nullopt;
        if (outLeft < 3) {
            const qsizetype used = dst - out.data();
            out.resize(out.size() * 2 + 3);
            dst = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
        }
        std::copy_n(kReplacementUtf8, 3, dst);
        dst += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(dst - out.data());
    return out;
}

bool hasUnpairedSurrogate(const QString& text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 < n && text.at(i + 1).isLowSurrogate()) {
                ++i;
                continue;
            }
            return true;
        }
        if (c.isLowSurrogate())
            return true;
    }
    return false;
}

// QString::fromUtf8 drops a leading mark, which would lose a U+FEFF that is part of the text
// (or the second of two marks), so the mark is handled here and nowhere else.
QString fromUtf8KeepingMarks(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace

TextEncoding detectEncoding(QByteArrayView bytes) {
    if (hasBom(bytes))
        return TextEncoding::Utf8WithBom;
    const Utf8Scan scan = scanUtf8(bytes);
    // Every GBK character is two bytes, and many pairs (lead C2-DF, trail 80-BF) are also valid
    // two-byte UTF-8: "尾尾" would read as "ββ". Chinese text in UTF-8 takes three bytes a
    // character, so only a valid file with such a sequence counts as UTF-8.
    return scan.valid && scan.wide ? TextEncoding::Utf8 : TextEncoding::Gb18030;
}

QString decodeAs(QByteArrayView bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8WithBom:
        if (hasBom(bytes))
            bytes = bytes.sliced(3);
        return fromUtf8KeepingMarks(bytes);
    case TextEncoding::Utf8:
        return fromUtf8KeepingMarks(bytes);
    case TextEncoding::Gb18030:
        break;
    }
    // ASCII needs no conversion; it is most option files and many tail lists.
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    const std::optional<QByteArray> utf8 = convert(bytes, "UTF-8", "GB18030", true);
    return utf8 ? fromUtf8KeepingMarks(*utf8) : QString::fromLatin1(bytes);
}

DecodedText decodeText(QByteArrayView bytes) {
    const TextEncoding encoding = detectEncoding(bytes);
    return DecodedText{decodeAs(bytes, encoding), encoding};
}

std::optional<QByteArray> encodeText(const QString& text, TextEncoding encoding) {
    if (hasUnpairedSurrogate(text))
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    switch (encoding) {
    case TextEncoding::Utf8:
        return utf8;
    case TextEncoding::Utf8WithBom:
        return QByteArray(kBom, 3) + utf8;
    case TextEncoding::Gb18030:
        break;
    }
    bool ascii = true;
    for (char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return utf8;
    return convert(utf8, "GB18030", "UTF-8", false);
}

} // namespace qlq
