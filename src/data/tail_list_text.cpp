#include "data/tail_list_text.h"

namespace qlq {
namespace {

constexpr char16_t kLineSeparator = u'\u2028';
constexpr char16_t kParagraphSeparator = u'\u2029';
// Qt's text documents take these two as frame marks, that is, as paragraph ends.
constexpr char16_t kFrameStart = u'\ufdd0';
constexpr char16_t kFrameEnd = u'\ufdd1';
constexpr char16_t kReplacement = u'\ufffd';

QStringView lineEndText(LineEnd end) {
    switch (end) {
    case LineEnd::CrLf:
        return u"\r\n";
    case LineEnd::Cr:
        return u"\r";
    case LineEnd::None:
        break;
    }
    return {};
}

bool endsALine(QStringView text) {
    return text.endsWith(u'\r') || text.endsWith(u"\r\n");
}

} // namespace

QString tailListEditorText(const QStringList& tails, const std::vector<LineEnd>& ends) {
    qsizetype size = 0;
    for (const QString& tail : tails)
        size += tail.size() + 2;
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < tails.size(); ++i) {
        text += tails[i];
        text += lineEndText(static_cast<std::size_t>(i) < ends.size()
                                ? ends[static_cast<std::size_t>(i)]
                                : LineEnd::CrLf);
    }
    return text;
}

QString tailListTextToSave(QStringView text, LineEnd closing) {
    if (text.isEmpty() || endsALine(text))
        return text.toString();
    QString closed = text.toString();
    closed += lineEndText(closing);
    return closed;
}

EditorDocumentText toEditorDocumentText(QStringView text) {
    EditorDocumentText out;
    const qsizetype n = text.size();
    const char16_t* in = text.utf16();
    qsizetype crLf = 0;
    qsizetype cr = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (in[i] == u'\r')
            ++(i + 1 < n && in[i + 1] == u'\n' ? crLf : cr);
    }
    out.usualEnd = cr > crLf ? LineEnd::Cr : LineEnd::CrLf;
    out.closing = text.isEmpty() || endsALine(text) ? out.usualEnd : LineEnd::None;

    // At most one paragraph end more than the text has characters per kLongestParagraph.
    out.text = QString(n + n / kLongestParagraph + 1, Qt::Uninitialized);
    auto* const begin = reinterpret_cast<char16_t*>(out.text.data());
    char16_t* dst = begin;
    const char16_t* paragraph = dst; // where the current paragraph started
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c == u'\r') {
            const LineEnd end = i + 1 < n && in[i + 1] == u'\n' ? LineEnd::CrLf : LineEnd::Cr;
            i += end == LineEnd::CrLf ? 1 : 0;
            if (end != out.usualEnd)
                out.lineEnds.push_back({dst - begin, end});
            *dst++ = kParagraphSeparator;
            paragraph = dst;
            continue;
        }
        // A piece ends between two characters, never inside a surrogate pair.
        if (dst - paragraph >= kLongestParagraph && !QChar::isLowSurrogate(c)) {
            out.lineEnds.push_back({dst - begin, LineEnd::None});
            *dst++ = kParagraphSeparator;
            paragraph = dst;
        }
        if (c == u'\n') {
            *dst++ = kLineSeparator;
        } else if (c == kLineSeparator || c == kParagraphSeparator || c == kFrameStart ||
                   c == kFrameEnd) {
            out.kept.push_back({dst - begin, c});
            *dst++ = c == kFrameStart || c == kFrameEnd ? kReplacement : kLineSeparator;
        } else {
            *dst++ = c;
        }
    }
    out.text.truncate(dst - begin);
    return out;
}

QString fromEditorDocumentText(QStringView raw, const std::vector<KeptCharacter>& kept,
                               const std::vector<KeptLineEnd>& lineEnds, LineEnd usualEnd) {
    QString out;
    out.reserve(raw.size() + raw.count(QChar(kParagraphSeparator)));
    auto nextKept = kept.begin();
    auto nextEnd = lineEnds.begin();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == kParagraphSeparator) {
            while (nextEnd != lineEnds.end() && nextEnd->position < i)
                ++nextEnd;
            const bool marked = nextEnd != lineEnds.end() && nextEnd->position == i;
            out += lineEndText(marked ? nextEnd->end : usualEnd);
            nextEnd += marked ? 1 : 0;
        } else if (nextKept != kept.end() && nextKept->position == i) {
            out += QChar(nextKept->original);
            ++nextKept;
        } else if (c == kLineSeparator) {
            out += QLatin1Char('\n');
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace qlq
