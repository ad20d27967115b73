// The options file reader/writer: any bytes read and written back unchanged; a value set reads
// back exactly (line breaks become spaces) from the written bytes; every other line stays: byte
// for byte while the file keeps its encoding, as shown text also where it had to change (a UTF-8
// mark added, an escape written as U+FFFD, GB18030 that looks like UTF-8 moved to UTF-16LE).
#include "data/profile_document.h"
#include "fuzz_check.h"
#include "text/display_text.h"
#include "text/text_codec.h"

#include <cstdint>

using namespace qlq;

namespace {

// Names that a profile line can carry at all: no brackets, '=', line breaks or edge blanks.
bool usableName(const QString& name) {
    if (name.isEmpty() || name != name.trimmed() || name.startsWith(u';'))
        return false;
    for (QChar c : name) {
        if (c == u'[' || c == u']' || c == u'=' || c == u'\r' || c == u'\n' || c == u'"' ||
            c == u'\'' || c.category() == QChar::Other_Control || c.isSpace())
            return false;
    }
    return true;
}

QByteArrayView take(QByteArrayView& data, qsizetype n) {
    n = std::min(n, data.size());
    const QByteArrayView head = data.first(n);
    data = data.sliced(n);
    return head;
}

// Whether b is a with one line replaced (or one added): what lies between the common head and
// tail holds no line break.
template <typename Text> bool differInOneLine(const Text& a, const Text& b) {
    qsizetype head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    qsizetype tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    const Text replaced = a.mid(head, a.size() - head - tail);
    return !replaced.contains('\n') && !replaced.contains('\r');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    QByteArrayView data(bytes, static_cast<qsizetype>(size));
    if (data.size() < 3)
        return 0;
    const int sectionLength = static_cast<unsigned char>(data[0]) % 16;
    const int keyLength = static_cast<unsigned char>(data[1]) % 16;
    const int valueLength = static_cast<unsigned char>(data[2]) % 64;
    data = data.sliced(3);
    const QString section = QString::fromUtf8(take(data, sectionLength));
    const QString key = QString::fromUtf8(take(data, keyLength));
    const QString value = QString::fromUtf8(take(data, valueLength));
    const QByteArray original = data.toByteArray();

    ProfileDocument document = ProfileDocument::fromBytes(original);
    QLQ_FUZZ_CHECK(document.toBytes() == original);
    if (!usableName(section) || !usableName(key))
        return 0;
    if (!document.setValue(section, key, value))
        return 0;

    QString expected = value;
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray written = document.toBytes();
    QLQ_FUZZ_CHECK(document.value(section, key) == expected);
    QLQ_FUZZ_CHECK(ProfileDocument::fromBytes(written).value(section, key) == expected);

    const QString before = decodeText(original).text;
    const QString after = decodeText(written).text;
    QLQ_FUZZ_CHECK(differInOneLine(textForDisplay(before), textForDisplay(after)));
    // Unless escapes had to go (the file would have read as another encoding), the text differs
    // in one line too, and so do the bytes in GB18030 and UTF-8, whose lines never hold a line
    // break byte.
    const TextEncoding from = document.encoding();
    const TextEncoding to = ProfileDocument::fromBytes(written).encoding();
    const auto isGb = [](TextEncoding e) {
        return e == TextEncoding::Gb18030 || e == TextEncoding::CodePage936;
    };
    if (differInOneLine(before, after) && ((from == to && from != TextEncoding::Utf16LeWithBom &&
                                            from != TextEncoding::Utf16BeWithBom) ||
                                           (isGb(from) && isGb(to))))
        QLQ_FUZZ_CHECK(differInOneLine(original, written));
    return 0;
}
