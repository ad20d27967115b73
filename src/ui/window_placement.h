#pragma once

class QWidget;

namespace qlq {

// Puts a top-level window in the middle of the available area of its screen, its top left
// corner never above or left of that area.
void centreOnScreen(QWidget& window);

// Shows a window that may be hidden or minimised and gives it the keyboard: what opening a
// window that is already open does.
void bringToFront(QWidget& window);

} // namespace qlq
