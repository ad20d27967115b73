#include "text/display_text.h"

namespace qlq {
namespace {

bool isLoneSurrogateAt(const QString& text, qsizetype i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate())
        return i + 1 == text.size() || !text.at(i + 1).isLowSurrogate();
    return c.isLowSurrogate() && (i == 0 || !text.at(i - 1).isHighSurrogate());
}

} // namespace

QString textForDisplay(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && !isLoneSurrogateAt(text, first))
        ++first;
    if (first == text.size())
        return text; // the common case: shared, not copied
    QString shown = text;
    for (qsizetype i = first; i < shown.size(); ++i) {
        if (isLoneSurrogateAt(text, i))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

} // namespace qlq
