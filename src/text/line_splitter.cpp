#include "text/line_splitter.h"

namespace qlq {

QStringList splitTailLines(QStringView text, std::vector<LineEnd>* ends) {
    QStringList lines;
    if (ends)
        ends->clear();
    const qsizetype n = text.size();
    const QChar* data = text.data();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] != u'\r')
            continue;
        lines.append(text.sliced(start, i - start).toString());
        const bool crLf = i + 1 < n && data[i + 1] == u'\n';
        if (ends)
            ends->push_back(crLf ? LineEnd::CrLf : LineEnd::Cr);
        i += crLf ? 1 : 0;
        start = i + 1;
    }
    if (start < n) {
        lines.append(text.sliced(start).toString());
        if (ends)
            ends->push_back(LineEnd::None);
    }
    return lines;
}

} // namespace qlq
