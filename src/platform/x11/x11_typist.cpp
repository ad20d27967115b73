#include "platform/x11/x11_typist.h"

#include "config/log_categories.h"
#include "platform/common/paste_latency.h"
#include "platform/x11/x11_key_watcher.h"

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

X11Typist::X11Typist(X11KeyWatcher& watcher) : watcher_(watcher) {
    Display* display = watcher_.display();
    int event = 0, error = 0, major = 0, minor = 0;
    if (!display || !XTestQueryExtension(display, &event, &error, &major, &minor))
        return;
    available_ = true;
    resolveKeycodes();
}

std::optional<QString> X11Typist::problem() const {
    if (!available_ && watcher_.display())
        return QStringLiteral("显示服务器没有 XTest 扩展，无法模拟按键");
    return std::nullopt;
}

void X11Typist::resolveKeycodes() {
    if (!available_)
        return;
    Display* display = watcher_.display();
    controlKeycode_ = keycodeFor(display, XK_Control_L, XK_Control_L);
    vKeycode_ = keycodeFor(display, XK_v, XK_V);
    vKeyTypesV_ = vKeycode_ != 0;
    if (vKeycode_ == 0) {
        int minCode = 0, maxCode = 0;
        XDisplayKeycodes(display, &minCode, &maxCode);
        if (static_cast<int>(kPhysicalVKeycode) >= minCode &&
            static_cast<int>(kPhysicalVKeycode) <= maxCode)
            vKeycode_ = kPhysicalVKeycode;
    }
    enterKeycode_ = keycodeFor(display, XK_Return, XK_Return);
}

std::optional<QString> X11Typist::holdBack() {
    // With Alt or Super held, Ctrl+V would not paste but a later Ctrl+Enter would still send.
    if (watcher_.pasteBlockingModifierDown())
        return QStringLiteral("Alt, Super or AltGr is held");
    // Another program's global F8 shortcut holds the keyboard while F8 is down, and the keys
    // would go to that program: wait for F8's release.
    if (watcher_.f8Down() && watcher_.keyboardGrabbedElsewhere())
        return QStringLiteral("another program holds the keyboard while F8 is down");
    return std::nullopt;
}

Typist::Typed X11Typist::paste() {
    if (!available_)
        return {false, false, QStringLiteral("the X server cannot type keys (no XTest)")};
    // No round trip here: a layout switch that happened before F8 was read with the key events.
    if (!typeCtrlPlus(vKeycode_))
        return {false, false, QStringLiteral("the X server has no key for Ctrl or V")};
    logPasteLatency(watcher_.lastF8Seen());
    if (!vKeyTypesV_)
        return {true, false,
                QStringLiteral("no key types V in this layout: Ctrl+V went out on the V key's "
                               "place and may not have pasted")};
    return {true, true, QString()};
}

Typist::Typed X11Typist::submit() {
    if (!typeCtrlPlus(enterKeycode_))
        return {false, false, QStringLiteral("the X server has no key for Ctrl or Enter")};
    return {true, true, QString()};
}

bool X11Typist::typeCtrlPlus(unsigned keycode) {
    if (!available_ || controlKeycode_ == 0 || keycode == 0)
        return false;
    Display* display = watcher_.display();
    bool ok = XTestFakeKeyEvent(display, controlKeycode_, True, CurrentTime);
    ok = XTestFakeKeyEvent(display, keycode, True, CurrentTime) && ok;
    ok = XTestFakeKeyEvent(display, keycode, False, CurrentTime) && ok;
    ok = XTestFakeKeyEvent(display, controlKeycode_, False, CurrentTime) && ok;
    // Without the flush the keys wait in Xlib's buffer until the next request.
    XFlush(display);
    return ok;
}

} // namespace qlq
