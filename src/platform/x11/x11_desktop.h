#pragma once

#include "platform/desktop.h"

#include <memory>

namespace qlq {

class X11KeyWatcher;
class X11Typist;
class X11Shell;
class X11QtClipboardWriter;

// Must run before any other Xlib call: the clipboard reader uses Xlib from a worker thread.
void prepareX11Threads();

// The X11 desktop: XInput2 raw key events watch F8 without taking it from anyone, XTest types
// the shortcuts, the X11 clipboard carries the text.
class X11Desktop : public Desktop {
public:
    X11Desktop();
    ~X11Desktop() override;

    ShellServices& shell() override;

private:
    std::unique_ptr<X11Shell> shell_;
    std::unique_ptr<X11KeyWatcher> watcher_;
    std::unique_ptr<X11Typist> typist_;
    std::unique_ptr<X11QtClipboardWriter> clipboard_;
};

} // namespace qlq
