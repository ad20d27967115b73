#include "platform/x11/x11_key_injector.h"

#include "config/log_categories.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace qlq {
namespace {

// The V key's position on the standard evdev keyboard, for layouts that have no 'v' at all
// (Russian only, for example): applications still take Ctrl plus that key as Ctrl+V.
constexpr unsigned kPhysicalVKeycode = 55;

// The key that types one of the keysyms, asked of the server; level by level as Xlib's own
// lookup goes, so a second layout's 'v' is found too.
unsigned keycodeFor(Display* display, KeySym sym, KeySym alsoSym) {
    int minCode = 0, maxCode = 0;
    XDisplayKeycodes(display, &minCode, &maxCode);
    const int count = maxCode - minCode + 1;
    int perKeycode = 0;
    KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(minCode), count, &perKeycode);
    if (!map)
        return 0;
    unsigned found = 0;
    for (int level = 0; level < perKeycode && found == 0; ++level) {
        for (int i = 0; i < count && found == 0; ++i) {
            const KeySym s = map[i * perKeycode + level];
            if (s == sym || s == alsoSym)
                found = static_cast<unsigned>(minCode + i);
        }
    }
    XFree(map);
    return found;
}

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
    controlKeycode_ = keycodeFor(display_, XK_Control_L, XK_Control_L);
    vKeycode_ = keycodeFor(display_, XK_v, XK_V);
    vKeyTypesV_ = vKeycode_ != 0;
    if (vKeycode_ == 0) {
        int minCode = 0, maxCode = 0;
        XDisplayKeycodes(display_, &minCode, &maxCode);
        if (static_cast<int>(kPhysicalVKeycode) >= minCode &&
            static_cast<int>(kPhysicalVKeycode) <= maxCode)
            vKeycode_ = kPhysicalVKeycode;
    }
    enterKeycode_ = keycodeFor(display_, XK_Return, XK_Return);
}

InjectResult X11KeyInjector::sendPaste() {
    if (!available_)
        return InjectResult::Failed;
    // No round trip here: a layout switch that happened before F8 was read with the key events.
    pasteCertain_ = vKeyTypesV_;
    if (!pasteCertain_)
        qCInfo(log::desktop, "no key types V in this layout: Ctrl+V goes out on the V key's place");
    const InjectResult result = sendCtrlPlus(vKeycode_);
    pasteCertain_ = pasteCertain_ && result == InjectResult::Ok;
    return result;
}

InjectResult X11KeyInjector::sendSubmit() {
    const bool certain = pasteCertain_;
    pasteCertain_ = false; // one Ctrl+Enter per paste
    if (!certain) {
        qCInfo(log::desktop, "Ctrl+Enter withheld: the Ctrl+V before it may not have pasted");
        return InjectResult::Failed;
    }
    return sendCtrlPlus(enterKeycode_);
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
