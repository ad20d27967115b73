#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace qlq {

// Splits a tail list into its lines: CR LF or a lone CR ends a line, a lone LF is an ordinary
// character, nothing is trimmed, and a line end at the very end starts no further line.
QStringList splitTailLines(QStringView text);

} // namespace qlq
