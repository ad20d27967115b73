#pragma once

#include "platform/desktop.h"

#include <QByteArray>

#include <memory>

namespace qlq {

class X11ClipboardOwner;
class X11KeyWatcher;
class X11PressConnection;
class X11Shell;
class X11Typist;

// The display Qt's windows are on: -display moves them, and F8 must be watched there too.
QByteArray qtDisplayName();

// Must run before any other Xlib call: the clipboard reader uses Xlib from a worker thread.
void prepareX11Threads();

// The X11 desktop: XInput2 raw key events watch F8 without taking it from anyone; the press
// path's own connection takes the clipboard and types the shortcuts through XTest in one flush,
// and serves the text from a thread of its own.
class X11Desktop : public Desktop {
public:
    static constexpr int kServeClipboardAtExitMs = 200;

    X11Desktop();
    ~X11Desktop() override;

    ShellServices& shell() override;

private:
    std::unique_ptr<X11Shell> shell_;
    std::unique_ptr<X11KeyWatcher> watcher_;
    std::unique_ptr<X11PressConnection> connection_;
    std::unique_ptr<X11ClipboardOwner> clipboard_;
    std::unique_ptr<X11Typist> typist_;
};

} // namespace qlq
