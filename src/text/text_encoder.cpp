#include "text/byte_escape.h"
#include "text/charsets.h"
#include "text/text_codec.h"

#include <vector>

namespace qlq {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct CodePoint {
    char32_t value = 0;
    int units = 1;
};

// The code point at s[i]; a surrogate without its partner comes out as itself.
CodePoint codePointAt(const char16_t* s, qsizetype i, qsizetype n) {
    if (QChar::isHighSurrogate(s[i]) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
        return {QChar::surrogateToUcs4(s[i], s[i + 1]), 2};
    return {s[i], 1};
}

// An escape's byte reads back as that escape only if the decoder, arriving at it, finds no
// character starting there. That depends on the bytes after it, which may be escapes that are
// themselves replaced, so the escapes are settled from the last to the first. The decoder always
// arrives at each one: everything before it is whole characters and escapes that read back.
template <typename Form>
void settleEscapes(QByteArray& out, const std::vector<qsizetype>& escapes, const Form& form) {
    unsigned char replacement[4];
    const int replacementLength = form.encode(kReplacement, replacement);
    const auto* bytes = reinterpret_cast<const unsigned char*>(out.constData());
    const qsizetype n = out.size();
    std::vector<bool> replaced(escapes.size(), false);
    bool anyReplaced = false;
    for (std::size_t k = escapes.size(); k-- > 0;) {
        // The bytes the decoder will see from this escape on, as they will be written.
        unsigned char window[4];
        int filled = 0;
        window[filled++] = bytes[escapes[k]];
        std::size_t next = k + 1;
        for (qsizetype i = escapes[k] + 1; i < n && filled < 4; ++i) {
            const bool isNextEscape = next < escapes.size() && escapes[next] == i;
            if (isNextEscape && replaced[next]) {
                for (int r = 0; r < replacementLength && filled < 4; ++r)
                    window[filled++] = replacement[r];
            } else {
                window[filled++] = bytes[i];
            }
            next += isNextEscape ? 1 : 0;
        }
        if (form.decode(window, filled).valid()) {
            replaced[k] = true;
            anyReplaced = true;
        }
    }
    if (!anyReplaced)
        return;
    QByteArray settled;
    settled.reserve(n + static_cast<qsizetype>(escapes.size()) * (replacementLength - 1));
    qsizetype from = 0;
    for (std::size_t k = 0; k < escapes.size(); ++k) {
        if (!replaced[k])
            continue;
        settled.append(out.constData() + from, escapes[k] - from);
        settled.append(reinterpret_cast<const char*>(replacement), replacementLength);
        from = escapes[k] + 1;
    }
    settled.append(out.constData() + from, n - from);
    out = std::move(settled);
}

// GB18030 and UTF-8: ASCII is itself, every other character a few bytes, an escape one byte.
template <typename Form> std::optional<QByteArray> encodeBytes(QStringView text, const Form& form) {
    const auto* s = text.utf16();
    const qsizetype n = text.size();
    QByteArray out(n * Form::kMaxBytesPerUnit, Qt::Uninitialized);
    auto* const begin = reinterpret_cast<unsigned char*>(out.data());
    unsigned char* dst = begin;
    std::vector<qsizetype> escapes;
    for (qsizetype i = 0; i < n;) {
        if (s[i] < 0x80) {
            *dst++ = static_cast<unsigned char>(s[i++]);
            continue;
        }
        const CodePoint c = codePointAt(s, i, n);
        i += c.units;
        if (QChar::isSurrogate(c.value)) {
            if (!isEscape(c.value))
                return std::nullopt;
            escapes.push_back(dst - begin);
            *dst++ = escapedByte(c.value);
            continue;
        }
        const int length = form.encode(c.value, dst);
        if (length == 0)
            return std::nullopt;
        dst += length;
    }
    out.truncate(dst - begin);
    if (!escapes.empty())
        settleEscapes(out, escapes, form);
    return out;
}

void appendUnit(QByteArray& out, char16_t unit, utf16::ByteOrder order) {
    unsigned char bytes[2];
    utf16::encodeOne(unit, bytes, order);
    out.append(reinterpret_cast<const char*>(bytes), 2);
}

// Escaped bytes of a UTF-16 file come in twos (a surrogate unit without its partner) or as the
// odd last byte. A run of escapes goes back two by two where each two make such a lone unit, and
// its last one alone only at the very end; any other escape is written as U+FFFD, two bytes, so
// the units after it stay aligned.
void appendEscapeRun(QByteArray& out, const std::vector<unsigned char>& run, bool atEnd,
                     utf16::ByteOrder order) {
    const std::size_t k = run.size();
    std::size_t q = 0;
    while (q < k) {
        if (q + 1 < k) {
            const char16_t unit = utf16::unitOf(run[q], run[q + 1], order);
            const bool pairsWithNext =
                q + 3 < k && QChar::isLowSurrogate(utf16::unitOf(run[q + 2], run[q + 3], order));
            // A low unit is never preceded by a high one here: whole characters end in no high
            // unit, a kept high unit is followed by no low one, U+FFFD is neither.
            if (QChar::isLowSurrogate(unit) || (QChar::isHighSurrogate(unit) && !pairsWithNext)) {
                appendUnit(out, unit, order);
                q += 2;
                continue;
            }
        } else if (atEnd) {
            out.append(static_cast<char>(run[q]));
            ++q;
            continue;
        }
        appendUnit(out, static_cast<char16_t>(kReplacement), order);
        ++q;
    }
}

std::optional<QByteArray> encodeUtf16(QStringView text, utf16::ByteOrder order) {
    const auto* s = text.utf16();
    const qsizetype n = text.size();
    QByteArray out;
    out.reserve(n * 2);
    std::vector<unsigned char> run;
    for (qsizetype i = 0; i < n;) {
        const CodePoint c = codePointAt(s, i, n);
        i += c.units;
        if (QChar::isSurrogate(c.value)) {
            if (!isEscape(c.value))
                return std::nullopt;
            run.push_back(escapedByte(c.value));
            continue;
        }
        if (!run.empty()) {
            appendEscapeRun(out, run, false, order);
            run.clear();
        }
        unsigned char bytes[4];
        out.append(reinterpret_cast<const char*>(bytes), utf16::encodeOne(c.value, bytes, order));
    }
    appendEscapeRun(out, run, true, order);
    return out;
}

} // namespace

std::optional<QByteArray> encodePart(QStringView text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Gb18030:
    case TextEncoding::CodePage936:
        return encodeBytes(text, charset::Gb18030{encoding == TextEncoding::CodePage936});
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithBom:
        return encodeBytes(text, charset::Utf8{});
    case TextEncoding::Utf16LeWithBom:
        break;
    case TextEncoding::Utf16BeWithBom:
        return encodeUtf16(text, utf16::ByteOrder::BigEndian);
    }
    return encodeUtf16(text, utf16::ByteOrder::LittleEndian);
}

std::optional<QByteArray> encodeText(const QString& text, TextEncoding encoding) {
    std::optional<QByteArray> body = encodePart(text, encoding);
    const QByteArrayView mark = byteOrderMark(encoding);
    if (body && !mark.isEmpty())
        body->prepend(mark);
    return body;
}

} // namespace qlq
