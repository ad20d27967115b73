// The options file reader/writer: any bytes read and written back unchanged; a value set reads
// back exactly (line breaks become spaces) from the written bytes; every other line stays.
#include "data/profile_document.h"
#include "fuzz_check.h"

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

    // Apart from the one line that changed (or none, for an appended entry), the old bytes
    // are all still there in order: what lies between the common head and tail is one line.
    qsizetype head = 0;
    while (head < original.size() && head < written.size() && original[head] == written[head])
        ++head;
    qsizetype tail = 0;
    while (tail < original.size() - head && tail < written.size() - head &&
           original[original.size() - 1 - tail] == written[written.size() - 1 - tail])
        ++tail;
    const QByteArray replaced = original.mid(head, original.size() - head - tail);
    QLQ_FUZZ_CHECK(!replaced.contains('\n') && !replaced.contains('\r'));
    return 0;
}
