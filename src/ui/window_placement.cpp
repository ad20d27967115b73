#include "ui/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace qlq {
namespace {

// Puts the window's frame in the middle of its screen's available area. Until the window
// manager has framed the window, the frame is the window alone.
void centreFrame(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins margins =
        window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
    const QSize frame = window.size().grownBy(margins);
    const QPoint centred = area.topLeft() + QPoint((area.width() - frame.width()) / 2,
                                                   (area.height() - frame.height()) / 2);
    // A window larger than the screen (high scaling on a small screen) keeps its title bar on
    // screen, so that it can still be moved; its bottom runs off instead.
    window.move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
}

bool framed(const QWidget& window) {
    return window.windowHandle() && !window.windowHandle()->frameMargins().isNull();
}

// Centres a window once more when the window manager has put its title bar and borders around
// it, which happens after it is shown: centred before that, the window would sit half a title
// bar too high.
class CentreWhenFramed : public QObject {
public:
    explicit CentreWhenFramed(QWidget& window)
        : QObject(&window), window_(window), placed_(window.geometry().topLeft()) {
        window.installEventFilter(this);
        if (window.windowHandle())
            window.windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The native window exists once shown; the first event after its frame came acts.
        if (watched == &window_ && event->type() == QEvent::Show && window_.windowHandle())
            window_.windowHandle()->installEventFilter(this);
        // A window that starts minimised waits for the user to bring it up: on X11, moving it
        // would take it out of the taskbar and onto the screen.
        if (watched == window_.windowHandle() && framed(window_) && !window_.isMinimized()) {
            window_.removeEventFilter(this);
            window_.windowHandle()->removeEventFilter(this);
            // Moved by anyone since it was centred: that place stands. (A window manager that
            // framed the window while it was minimised keeps the frame where the window was.)
            if (window_.geometry().topLeft() == placed_ ||
                window_.frameGeometry().topLeft() == placed_)
                centreFrame(window_);
            deleteLater();
        }
        return false;
    }

private:
    QWidget& window_;
    QPoint placed_; // where the window's inside was put
};

} // namespace

void centreOnScreen(QWidget& window) {
    centreFrame(window);
    if (!framed(window) && !(window.windowFlags() & Qt::FramelessWindowHint))
        new CentreWhenFramed(window); // a child of the window
}

void bringToFront(QWidget& window) {
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace qlq
