#include "windows/link_label.h"

#include "platform/shell_services.h"

#include <QMouseEvent>

namespace qlq {

LinkLabel::LinkLabel(ShellServices& shell, QWidget* parent) : QLabel(parent), shell_(shell) {
    setMouseTracking(true); // moves with no button held must reach us
}

void LinkLabel::showLinkCursor() {
    setCursor(shell_.linkCursor());
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton)
        showLinkCursor();
    QLabel::mouseMoveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        showLinkCursor();
        leftPressed_ = true;
    }
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        if (rect().contains(event->position().toPoint()))
            emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

} // namespace qlq
