#include "text/line_splitter.h"

namespace qlq {

QStringList splitTailLines(QStringView text) {
    QStringList lines;
    const qsizetype n = text.size();
    const QChar* data = text.data();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] != u'\r')
            continue;
        lines.append(text.sliced(start, i - start).toString());
        if (i + 1 < n && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.sliced(start).toString());
    return lines;
}

} // namespace qlq
