#pragma once

#include <QRect>

namespace qlq {

// Where the editor's three controls stand, in twips.
struct EditorLayout {
    QRect text{120, 120, 11775, 8175};
    QRect save{9120, 8400, 1575, 375};
    QRect cancel{10920, 8400, 975, 375};
};

// Lays the editor out for a window of the given outer size (twips), in eight steps. A step that
// would give a negative width or height is skipped and leaves that value as it was; the steps
// after it still run, so the buttons follow the width even when the text box cannot shrink.
void layOutEditor(EditorLayout& layout, int outerWidth, int outerHeight);

} // namespace qlq
