#include "platform/x11/x11_typist.h"

#include "config/log_categories.h"
#include "platform/common/keysyms.h"
#include "platform/common/paste_latency.h"
#include "platform/x11/x11_key_watcher.h"
#include "platform/x11/x11_press_connection.h"

#include <xcb/xtest.h>

#include <cstdlib>

namespace qlq {
namespace {

// The V key's position on the standard evdev keyboard, for layouts that have no 'v' at all
// (Russian only, for example): applications still take Ctrl plus that key as Ctrl+V.
constexpr xcb_keycode_t kPhysicalVKeycode = 55;

} // namespace

X11Typist::X11Typist(X11PressConnection& connection, X11KeyWatcher& watcher)
    : connection_(connection), watcher_(watcher) {
    if (connection_.ok() && connection_.hasXTest())
        resolveKeycodes();
}

std::optional<QString> X11Typist::problem() const {
    if (connection_.ok() && !connection_.hasXTest())
        return QStringLiteral("显示服务器没有 XTest 扩展，无法模拟按键");
    return std::nullopt;
}

void X11Typist::resolveKeycodes() {
    xcb_connection_t* c = connection_.connection();
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr);
    if (!reply)
        return;
    const xcb_keysym_t* map = xcb_get_keyboard_mapping_keysyms(reply);
    const int perKey = reply->keysyms_per_keycode;
    // Level by level, as Xlib's own lookup goes, so a second layout's 'v' is found too.
    const auto find = [&](xcb_keysym_t sym, xcb_keysym_t alsoSym) -> xcb_keycode_t {
        for (int level = 0; level < perKey; ++level) {
            for (int i = 0; i < count; ++i) {
                const xcb_keysym_t s = map[i * perKey + level];
                if (s == sym || s == alsoSym)
                    return static_cast<xcb_keycode_t>(first + i);
            }
        }
        return 0;
    };
    Keys keys;
    keys.control = find(keysym::kControlL, keysym::kControlL);
    keys.v = find(keysym::kLowerV, keysym::kUpperV);
    keys.vTypesV = keys.v != 0;
    if (keys.v == 0 && kPhysicalVKeycode >= setup->min_keycode &&
        kPhysicalVKeycode <= setup->max_keycode)
        keys.v = kPhysicalVKeycode;
    keys.enter = find(keysym::kReturn, keysym::kReturn);
    std::free(reply);
    connection_.nudge(); // the reply may have come with events for the event thread
    keys_ = keys;
}

std::optional<QString> X11Typist::holdBack() {
    // With Alt or Super held, Ctrl+V would not paste but a later Ctrl+Enter would still send.
    if (watcher_.pasteBlockingModifierDown()) {
        heldBack_ = true;
        return QStringLiteral("Alt, Super or AltGr is held");
    }
    // Another program's shortcut on F8 holds the keyboard while F8 is down, and the keys would go
    // to that program: wait for F8's release. Asked only where it can be so.
    if ((heldBack_ || watcher_.f8GrabbedElsewhere()) && watcher_.f8Down() &&
        watcher_.keyboardGrabbedElsewhere()) {
        heldBack_ = true;
        return QStringLiteral("another program holds the keyboard while F8 is down");
    }
    heldBack_ = false;
    return std::nullopt;
}

Typist::Typed X11Typist::paste() {
    if (!connection_.hasXTest())
        return {false, false, QStringLiteral("the X server cannot type keys (no XTest)")};
    if (!typeCtrlPlus(keys_.v))
        return {false, false, QStringLiteral("the keyboard map has no key for Ctrl or V")};
    logPasteLatency(watcher_.lastF8Seen());
    if (!keys_.vTypesV)
        return {true, false,
                QStringLiteral("no key types V in this layout: Ctrl+V went out on the V key's "
                               "place and may not have pasted")};
    return {true, true, QString()};
}

Typist::Typed X11Typist::submit() {
    if (!typeCtrlPlus(keys_.enter))
        return {false, false, QStringLiteral("the keyboard map has no key for Ctrl or Enter")};
    return {true, true, QString()};
}

bool X11Typist::typeCtrlPlus(xcb_keycode_t key) {
    const xcb_keycode_t control = keys_.control;
    if (control == 0 || key == 0)
        return false;
    xcb_connection_t* c = connection_.connection();
    const auto fake = [c](uint8_t type, xcb_keycode_t code) {
        xcb_test_fake_input(c, type, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    };
    fake(XCB_KEY_PRESS, control);
    fake(XCB_KEY_PRESS, key);
    fake(XCB_KEY_RELEASE, key);
    fake(XCB_KEY_RELEASE, control);
    // The clipboard's take waits in the same buffer: both leave together.
    xcb_flush(c);
    return true;
}

} // namespace qlq
