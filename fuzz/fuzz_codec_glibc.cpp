// The own codec against glibc's iconv, which its GB18030 tables were generated from: wherever
// glibc decodes, both give the same characters, and where glibc stops at a byte, the codec keeps
// that byte as an escape. Before the first input every two-byte code, every four-byte code of
// the BMP range and every code point are compared once. GB18030 bytes also survive a decode and
// encode unchanged.
#include "fuzz_check.h"
#include "text/display_text.h"
#include "text/gb18030_tables.h"
#include "text/text_codec.h"

#include <QList>

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace qlq;

namespace {

constexpr std::int32_t kStopped = -1; // a byte glibc could not convert, or an escape

// glibc's reading of the bytes as code points; at a byte it stops at, kStopped and on to the next
// byte, the way the codec's decoder resumes.
std::vector<std::int32_t> glibcDecode(const char* from, QByteArrayView bytes) {
    iconv_t cd = iconv_open("UTF-32LE", from);
    QLQ_FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1)); // NOLINT(performance-no-int-to-ptr)
    std::vector<std::int32_t> points;
    std::vector<char> out(static_cast<std::size_t>(bytes.size()) * 4 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = static_cast<std::size_t>(bytes.size());
    while (true) {
        char* dst = out.data();
        std::size_t outLeft = out.size();
        const std::size_t result = iconv(cd, &in, &inLeft, &dst, &outLeft);
        const int error = errno;
        for (const char* p = out.data(); p < dst; p += 4) {
            std::int32_t c = 0;
            std::memcpy(&c, p, 4);
            points.push_back(c);
        }
        if (result != static_cast<std::size_t>(-1) || inLeft == 0)
            break;
        QLQ_FUZZ_CHECK(error == EILSEQ || error == EINVAL);
        points.push_back(kStopped);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return points;
}

std::optional<QByteArray> glibcEncode(const char* to, const QString& text) {
    iconv_t cd = iconv_open(to, "UTF-16LE");
    QLQ_FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1)); // NOLINT(performance-no-int-to-ptr)
    QByteArray out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.utf16()));
    std::size_t inLeft = static_cast<std::size_t>(text.size()) * 2;
    char* dst = out.data();
    std::size_t outLeft = static_cast<std::size_t>(out.size());
    const std::size_t result = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1))
        return std::nullopt;
    out.truncate(dst - out.data());
    return out;
}

// The codec's text as code points; each escape is kStopped.
std::vector<std::int32_t> codePoints(const QString& text) {
    std::vector<std::int32_t> points;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            points.push_back(static_cast<std::int32_t>(QChar::surrogateToUcs4(c, text[i + 1])));
            ++i;
        } else {
            points.push_back(c.isSurrogate() ? kStopped : c.unicode());
        }
    }
    return points;
}

// A few characters have a two-byte code and also fit the four-byte arithmetic; glibc reads both
// forms, the codec only the two-byte one (so a save cannot change the bytes).
bool holdsSecondForm(QByteArrayView bytes) {
    for (std::size_t k = 0; k < gb18030::kTwoByteBeyondBmpCount; ++k) {
        const char32_t index = gb18030::kTwoByteBeyondBmp[k].codePoint - 0x10000;
        const char form[] = {
            static_cast<char>(0x90 + index / 12600), static_cast<char>(0x30 + index / 1260 % 10),
            static_cast<char>(0x81 + index / 10 % 126), static_cast<char>(0x30 + index % 10)};
        if (bytes.contains(QByteArrayView(form, 4)))
            return true;
    }
    return false;
}

void checkGb18030(QByteArrayView bytes) {
    const QString text = decodeAs(bytes, TextEncoding::Gb18030);
    if (!holdsSecondForm(bytes))
        QLQ_FUZZ_CHECK(codePoints(text) == glibcDecode("GB18030", bytes));
    QLQ_FUZZ_CHECK(encodeText(text, TextEncoding::Gb18030) == bytes.toByteArray());
    const QString shown = textForDisplay(text);
    QLQ_FUZZ_CHECK(encodeText(shown, TextEncoding::Gb18030) == glibcEncode("GB18030", shown));
}

// Where glibc reads the whole input, the codec does too, to the same characters; where the codec
// finds nothing to escape, glibc reads it all.
void checkUnicodeForm(const char* name, TextEncoding encoding, QByteArrayView bytes) {
    const std::vector<std::int32_t> glibc = glibcDecode(name, bytes);
    const std::vector<std::int32_t> own = codePoints(decodePart(bytes, encoding));
    const bool glibcRead = std::find(glibc.begin(), glibc.end(), kStopped) == glibc.end();
    const bool ownRead = std::find(own.begin(), own.end(), kStopped) == own.end();
    QLQ_FUZZ_CHECK(glibcRead == ownRead);
    if (glibcRead)
        QLQ_FUZZ_CHECK(own == glibc);
}

void checkEveryCode() {
    QByteArray code(2, '\0');
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        code[0] = static_cast<char>(lead);
        for (int trail = 0; trail <= 0xFF; ++trail) {
            code[1] = static_cast<char>(trail);
            checkGb18030(code);
        }
    }
    QByteArray fourByte(4, '\0');
    for (int index = 0; index < 4 * 12600; ++index) {
        fourByte[0] = static_cast<char>(0x81 + index / 12600);
        fourByte[1] = static_cast<char>(0x30 + index / 1260 % 10);
        fourByte[2] = static_cast<char>(0x81 + index / 10 % 126);
        fourByte[3] = static_cast<char>(0x30 + index % 10);
        checkGb18030(fourByte);
    }
    // Every character, in runs: glibc either refuses a run or encodes it as the codec does.
    for (char32_t first = 0; first < 0x110000; first += 256) {
        QString run;
        for (char32_t c = first; c < first + 256; ++c) {
            if (!QChar::isSurrogate(c))
                run += QString::fromUcs4(&c, 1);
        }
        const std::optional<QByteArray> own = encodeText(run, TextEncoding::Gb18030);
        if (own) {
            QLQ_FUZZ_CHECK(own == glibcEncode("GB18030", run));
            QLQ_FUZZ_CHECK(decodeAs(*own, TextEncoding::Gb18030) == run);
            continue;
        }
        for (const char32_t c : run.toUcs4()) {
            const QString one = QString::fromUcs4(&c, 1);
            QLQ_FUZZ_CHECK(encodeText(one, TextEncoding::Gb18030) == glibcEncode("GB18030", one));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    checkEveryCode();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    checkGb18030(bytes);
    checkUnicodeForm("UTF-8", TextEncoding::Utf8, bytes);
    checkUnicodeForm("UTF-16LE", TextEncoding::Utf16LeWithBom, bytes);
    checkUnicodeForm("UTF-16BE", TextEncoding::Utf16BeWithBom, bytes);
    return 0;
}
