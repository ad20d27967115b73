#include "insert/tail_chooser.h"

#include <cmath>

namespace qlq {

int TailChooser::nextInListOrder(int rowCount) const {
    // Wrap also when beyond the end: a list shortened under the position must not turn every
    // later press into an empty tail.
    const int next = lastIndex_ + 1;
    return next >= rowCount ? 0 : next;
}

int TailChooser::atRandom(int rowCount, float r) {
    // In double the product of a 24-bit fraction and a row count is exact, so it stays below
    // rowCount; the clamp guards against a caller's r of 1.
    const int row =
        static_cast<int>(std::floor(static_cast<double>(rowCount) * static_cast<double>(r)));
    if (row >= rowCount)
        return rowCount > 0 ? rowCount - 1 : 0;
    return row < 0 ? 0 : row;
}

} // namespace qlq
