#include "data/tail_list_text.h"

namespace qlq {
namespace {

constexpr char16_t kLineSeparator = u'\u2028';
constexpr char16_t kParagraphSeparator = u'\u2029';
// Qt's text documents take these two as frame marks, that is, as paragraph ends.
constexpr char16_t kFrameStart = u'\ufdd0';
constexpr char16_t kFrameEnd = u'\ufdd1';
constexpr char16_t kReplacement = u'\ufffd';

} // namespace

QString tailListEditorText(const QStringList& tails) {
    qsizetype size = 0;
    for (const QString& tail : tails)
        size += tail.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& tail : tails) {
        text += tail;
        text += QLatin1String("\r\n");
    }
    return text;
}

QString tailListTextToSave(QStringView text) {
    if (text.isEmpty() || text.endsWith(u'\r') || text.endsWith(u"\r\n"))
        return text.toString();
    QString closed;
    closed.reserve(text.size() + 2);
    closed += text;
    closed += QLatin1String("\r\n");
    return closed;
}

EditorDocumentText toEditorDocumentText(QStringView text) {
    EditorDocumentText out;
    out.text.reserve(text.size());
    qsizetype copied = 0; // text before this index is in out.text
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n' && c != kLineSeparator && c != kParagraphSeparator &&
            c != kFrameStart && c != kFrameEnd)
            continue;
        out.text.append(text.sliced(copied, i - copied));
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out.text += QChar(kParagraphSeparator);
        } else if (c == u'\n') {
            out.text += QChar(kLineSeparator);
        } else {
            out.kept.push_back({out.text.size(), c});
            out.text += QChar(c == kFrameStart || c == kFrameEnd ? kReplacement : kLineSeparator);
        }
        copied = i + 1;
    }
    out.text.append(text.sliced(copied));
    return out;
}

QString fromEditorDocumentText(QStringView raw, const std::vector<KeptCharacter>& kept) {
    qsizetype paragraphs = 0;
    for (QChar c : raw) {
        if (c == kParagraphSeparator)
            ++paragraphs;
    }
    QString out;
    out.reserve(raw.size() + paragraphs);
    auto next = kept.begin();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (next != kept.end() && next->position == i) {
            out += QChar(next->original);
            ++next;
        } else if (c == kParagraphSeparator) {
            out += QLatin1String("\r\n");
        } else if (c == kLineSeparator) {
            out += QLatin1Char('\n');
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace qlq
