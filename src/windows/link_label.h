#pragma once

#include <QLabel>

namespace qlq {

class ShellServices;

// A label or picture that acts as a link: clicked() on a left click, and the link cursor under
// the same button rules as the designed MouseMove/MouseDown handlers: a move with no button held
// or a left press shows it; other buttons and drags leave the pointer alone. Nothing sets it
// back: the cursor belongs to this widget only, so the pointer returns to normal off the link,
// which is what the desktop does with a cursor set by hand.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(ShellServices& shell, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showLinkCursor();

    ShellServices& shell_;
    bool leftPressed_ = false;
};

} // namespace qlq
