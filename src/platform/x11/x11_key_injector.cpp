#include "platform/x11/x11_key_injector.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace qlq {
namespace {

// The V key's position on the standard evdev keyboard, for layouts that have no 'v' at all
// (Russian only, for example): applications still take Ctrl plus that key as Ctrl+V.
constexpr unsigned kPhysicalVKeycode = 55;

} // namespace

X11KeyInjector::X11KeyInjector(_XDisplay* display) : display_(display) {
    if (!display_)
        return;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
        return;
    available_ = true;
    resolveKeycodes();
}

void X11KeyInjector::resolveKeycodes() {
    if (!available_)
        return;
    controlKeycode_ = XKeysymToKeycode(display_, XK_Control_L);
    // XKeysymToKeycode searches every group of the keymap, so 'v' in a second layout is found.
    vKeycode_ = XKeysymToKeycode(display_, XK_v);
    if (vKeycode_ == 0) {
        int minCode = 0, maxCode = 0;
        XDisplayKeycodes(display_, &minCode, &maxCode);
        if (static_cast<int>(kPhysicalVKeycode) >= minCode &&
            static_cast<int>(kPhysicalVKeycode) <= maxCode)
            vKeycode_ = kPhysicalVKeycode;
    }
    enterKeycode_ = XKeysymToKeycode(display_, XK_Return);
}

InjectResult X11KeyInjector::sendCtrlPlus(unsigned keycode) {
    if (!available_ || controlKeycode_ == 0 || keycode == 0)
        return InjectResult::Failed;
    bool ok = XTestFakeKeyEvent(display_, controlKeycode_, True, CurrentTime);
    ok = XTestFakeKeyEvent(display_, keycode, True, CurrentTime) && ok;
    ok = XTestFakeKeyEvent(display_, keycode, False, CurrentTime) && ok;
    ok = XTestFakeKeyEvent(display_, controlKeycode_, False, CurrentTime) && ok;
    // Without the flush the keys wait in Xlib's buffer until the next request.
    XFlush(display_);
    return ok ? InjectResult::Ok : InjectResult::Failed;
}

} // namespace qlq
