#include "insert/insertion_composer.h"

namespace qlq {

QString composeInsertion(const QString& tail, bool appendOwnTail, const QString& ownTail) {
    static const QString lead = QStringLiteral("\u3000\r\n");
    QString text = lead + tail;
    if (appendOwnTail)
        text = lead + text + QStringLiteral("\r\n") + ownTail;
    return text;
}

} // namespace qlq
