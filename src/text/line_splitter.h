#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace qlq {

// How a line of a tail list ends. Only a file's last line can have none.
enum class LineEnd : std::uint8_t { CrLf, Cr, None };

// Splits a tail list into its lines: CR LF or a lone CR ends a line, a lone LF is an ordinary
// character, nothing is trimmed, and a line end at the very end starts no further line. `ends`,
// when given, gets how each line ended, so that the lines can be put back together exactly.
QStringList splitTailLines(QStringView text, std::vector<LineEnd>* ends = nullptr);

} // namespace qlq
