#include "editor/editor_layout.h"

namespace qlq {

void layOutEditor(EditorLayout& layout, int outerWidth, int outerHeight) {
    layout.text.moveTop(10);
    layout.text.moveLeft(1);
    if (outerWidth - 200 >= 0)
        layout.text.setWidth(outerWidth - 200);
    if (outerHeight - 1200 >= 0)
        layout.text.setHeight(outerHeight - 1200);
    layout.save.moveTop(layout.text.height() + 100);
    layout.cancel.moveTop(layout.text.height() + 100);
    layout.cancel.moveLeft(outerWidth - 1500);
    layout.save.moveLeft(layout.cancel.left() - 2300);
}

} // namespace qlq
