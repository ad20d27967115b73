#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace qlq {

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QPoint centred = area.center() - QPoint(window.width() / 2, window.height() / 2);
    // A window larger than the screen (high scaling on a small screen) keeps its title bar on
    // screen, so that it can still be moved; its bottom runs off instead.
    window.move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
}

void bringToFront(QWidget& window) {
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace qlq
