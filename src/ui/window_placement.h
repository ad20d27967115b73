#pragma once

class QWidget;

namespace qlq {

// Puts a top-level window, title bar and borders included, in the middle of the available area
// of its screen, its top left corner never above or left of that area; a window not yet framed
// by the window manager is centred again once it is.
void centreOnScreen(QWidget& window);

// Shows a window that may be hidden or minimised and gives it the keyboard: what opening a
// window that is already open does.
void bringToFront(QWidget& window);

} // namespace qlq
