#pragma once

#include <QString>

namespace qlq {

// The text one F8 press pastes: U+3000, CR LF, the tail; with the own tail, one more U+3000 line
// in front and CR LF plus the own tail behind. Tails go in exactly as stored.
QString composeInsertion(const QString& tail, bool appendOwnTail, const QString& ownTail);

} // namespace qlq
