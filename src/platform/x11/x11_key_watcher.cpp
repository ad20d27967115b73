#include "platform/x11/x11_key_watcher.h"

#include <QSocketNotifier>
#include <QTimer>

// Xlib last: its macros (None, Bool, Status) clash with Qt.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace qlq {

X11KeyWatcher::X11KeyWatcher() {
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        return;
    int event = 0, error = 0;
    int major = 2, minor = 0;
    if (!XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error) ||
        XIQueryVersion(display_, &major, &minor) != Success) {
        XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    f8Keycode_ = XKeysymToKeycode(display_, XK_F8);
    for (KeySym sym : {XK_Alt_L, XK_Alt_R, XK_Super_L, XK_Super_R, XK_Meta_L, XK_Meta_R,
                       XK_ISO_Level3_Shift, XK_Hyper_L}) {
        const unsigned code = XKeysymToKeycode(display_, sym);
        if (code != 0 && modifierCount_ < 8)
            modifierKeycodes_[modifierCount_++] = code;
    }

    // Master devices only: with every device selected, each key arrives twice (slave and master).
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(mask, XI_RawKeyPress);
    XISetMask(mask, XI_RawKeyRelease);
    XIEventMask eventMask{XIAllMasterDevices, static_cast<int>(sizeof(mask)), mask};
    XISelectEvents(display_, DefaultRootWindow(display_), &eventMask, 1);
    XFlush(display_);

    notifier_ = new QSocketNotifier(ConnectionNumber(display_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        drain();
        scheduleDispatch();
    });
}

X11KeyWatcher::~X11KeyWatcher() {
    delete notifier_;
    if (display_)
        XCloseDisplay(display_);
}

void X11KeyWatcher::drain() {
    // Xlib may already hold events read during another request, so ask XPending, not the socket.
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != xiOpcode_ ||
            !XGetEventData(display_, cookie))
            continue;
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        const auto keycode = static_cast<unsigned>(raw->detail);
        if (cookie->evtype == XI_RawKeyPress && keycode == f8Keycode_) {
            f8SinceQuery_ = true;
            pendingF8_ = true;
        } else if (cookie->evtype == XI_RawKeyRelease) {
            for (int i = 0; i < modifierCount_; ++i) {
                if (modifierKeycodes_[i] == keycode)
                    pendingModifierRelease_ = true;
            }
        }
        XFreeEventData(display_, cookie);
    }
}

// Handlers run from the event loop, never inside a query: the engine queries from its tick and
// must not be entered again from there.
void X11KeyWatcher::scheduleDispatch() {
    if (dispatchScheduled_ || !(pendingF8_ || pendingModifierRelease_))
        return;
    dispatchScheduled_ = true;
    QTimer::singleShot(0, this, &X11KeyWatcher::dispatch);
}

void X11KeyWatcher::dispatch() {
    dispatchScheduled_ = false;
    const bool f8 = pendingF8_;
    const bool modifier = pendingModifierRelease_;
    pendingF8_ = pendingModifierRelease_ = false;
    if (!handler_)
        return;
    if (modifier)
        handler_(KeyActivity::ModifierReleased);
    if (f8)
        handler_(KeyActivity::F8Pressed);
}

bool X11KeyWatcher::keyDown(const char keys[32], unsigned keycode) const {
    return keycode != 0 && keycode < 256 && (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
}

bool X11KeyWatcher::queryF8Pressed() {
    if (!display_)
        return false;
    drain();
    char keys[32];
    XQueryKeymap(display_, keys);
    const bool pressed = keyDown(keys, f8Keycode_) || f8SinceQuery_;
    f8SinceQuery_ = false;
    pendingF8_ = false; // this press is answered now
    drain();            // the round trip may have brought events; they count from now on
    scheduleDispatch();
    return pressed;
}

bool X11KeyWatcher::pasteBlockingModifierDown() {
    if (!display_)
        return false;
    char keys[32];
    XQueryKeymap(display_, keys);
    for (int i = 0; i < modifierCount_; ++i) {
        if (keyDown(keys, modifierKeycodes_[i]))
            return true;
    }
    return false;
}

} // namespace qlq
