#include "data/tail_list_text.h"

namespace qlq {
namespace {

constexpr char16_t kLineSeparator = u'\u2028';
constexpr char16_t kParagraphSeparator = u'\u2029';

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

QString toEditorDocumentText(QStringView text) {
    QString out = text.toString();
    QChar* data = out.data();
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (data[i] == u'\n' && (i == 0 || data[i - 1] != u'\r'))
            data[i] = QChar(kLineSeparator);
    }
    return out;
}

QString fromEditorDocumentText(QStringView raw) {
    qsizetype paragraphs = 0;
    for (QChar c : raw) {
        if (c == kParagraphSeparator)
            ++paragraphs;
    }
    QString out;
    out.reserve(raw.size() + paragraphs);
    for (QChar c : raw) {
        if (c == kParagraphSeparator)
            out += QLatin1String("\r\n");
        else if (c == kLineSeparator)
            out += QLatin1Char('\n');
        else
            out += c;
    }
    return out;
}

} // namespace qlq
