#include "platform/x11/x11_key_watcher.h"

#include "config/log_categories.h"

#include <QSocketNotifier>

// Xlib last: its macros (None, Bool, Status) clash with Qt.
#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace qlq {

X11KeyWatcher::X11KeyWatcher(const char* displayName) {
    display_ = XOpenDisplay(displayName);
    if (!display_) {
        problem_ = QStringLiteral("无法连接显示服务器 %1").arg(QString::fromLocal8Bit(displayName));
        return;
    }
    int event = 0, error = 0;
    // 2.2: raw events then keep coming while another program grabs the keyboard.
    int major = 2, minor = 2;
    if (!XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error) ||
        XIQueryVersion(display_, &major, &minor) != Success) {
        problem_ = QStringLiteral("显示服务器没有 XInput2 扩展");
        XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    qCDebug(log::desktop, "watching keys through XInput %d.%d on %s", major, minor,
            DisplayString(display_));
    resolveKeycodes();

    // Master devices only: with every device selected, each key arrives twice (slave and master).
    unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(mask, XI_RawKeyPress);
    XISetMask(mask, XI_RawKeyRelease);
    XIEventMask eventMask{XIAllMasterDevices, static_cast<int>(sizeof(mask)), mask};
    XISelectEvents(display_, DefaultRootWindow(display_), &eventMask, 1);
    refreshFromServer(); // keys already held when the program starts
    probeF8Grab();

    notifier_ = new QSocketNotifier(ConnectionNumber(display_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &X11KeyWatcher::onSocketReadable);
}

X11KeyWatcher::~X11KeyWatcher() {
    delete notifier_;
    if (display_)
        XCloseDisplay(display_);
}

void X11KeyWatcher::resolveKeycodes() {
    f8Keycode_ = XKeysymToKeycode(display_, XK_F8);
    modifierCount_ = 0;
    for (KeySym sym : {XK_Alt_L, XK_Alt_R, XK_Super_L, XK_Super_R, XK_Meta_L, XK_Meta_R,
                       XK_ISO_Level3_Shift, XK_Hyper_L}) {
        const unsigned code = XKeysymToKeycode(display_, sym);
        if (code != 0 && modifierCount_ < 8)
            modifierKeycodes_[modifierCount_++] = code;
    }
}

X11KeyWatcher::Seen X11KeyWatcher::readEvents() {
    Seen seen;
    // Takes what the socket holds without waiting; Xlib may also hold events read during another
    // request.
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            resolveKeycodes();
            probeDue_ = true;
            if (mappingChanged_)
                mappingChanged_();
            continue;
        }
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != xiOpcode_ ||
            !XGetEventData(display_, cookie))
            continue;
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        const auto keycode = static_cast<unsigned>(raw->detail);
        const bool press = cookie->evtype == XI_RawKeyPress;
        serverTime_ = static_cast<uint32_t>(raw->time);
        if (keycode < down_.size() && (press || cookie->evtype == XI_RawKeyRelease))
            down_[keycode] = press;
        if (press && keycode == f8Keycode_) {
            f8SinceQuery_ = true;
            seen.f8Pressed = true;
            lastF8Seen_ = Clock::now();
        } else if (!press) {
            // F8 too: another program's grab of F8 ends with its release.
            seen.holdingKeyReleased |= keycode == f8Keycode_;
            probeDue_ |= keycode == f8Keycode_;
            for (int i = 0; i < modifierCount_; ++i)
                seen.holdingKeyReleased |= modifierKeycodes_[i] == keycode;
        }
        XFreeEventData(display_, cookie);
    }
    return seen;
}

void X11KeyWatcher::onSocketReadable() {
    do {
        const Seen seen = readEvents();
        if (handler_ && seen.holdingKeyReleased)
            handler_(KeyActivity::HoldEnded);
        if (handler_ && seen.f8Pressed)
            handler_(KeyActivity::F8Pressed);
        if (probeDue_) // after the press is answered: the probe costs a round trip
            probeF8Grab();
        // A round trip may have left events in Xlib's queue that the socket no longer shows.
    } while (XEventsQueued(display_, QueuedAlready) > 0);
}

void X11KeyWatcher::probeF8Grab() {
    probeDue_ = false;
    if (f8Keycode_ == 0)
        return;
    // A grab of our own on F8 fails where another program has one; if it works, it is let go in
    // the same breath.
    xcb_connection_t* keys = XGetXCBConnection(display_);
    const auto root = static_cast<xcb_window_t>(DefaultRootWindow(display_));
    const auto key = static_cast<xcb_keycode_t>(f8Keycode_);
    const xcb_void_cookie_t grab = xcb_grab_key_checked(keys, 0, root, XCB_MOD_MASK_ANY, key,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_ungrab_key(keys, key, root, XCB_MOD_MASK_ANY);
    xcb_generic_error_t* error = xcb_request_check(keys, grab);
    const bool grabbed = error && error->error_code == XCB_ACCESS;
    std::free(error);
    if (grabbed != f8GrabbedElsewhere_)
        qCInfo(log::desktop, grabbed ? "another program has a shortcut on F8"
                                     : "no other program has a shortcut on F8 any more");
    f8GrabbedElsewhere_ = grabbed;
}

void X11KeyWatcher::refreshFromServer() {
    char keys[32];
    XQueryKeymap(display_, keys);
    for (std::size_t code = 0; code < down_.size(); ++code)
        down_[code] = (keys[code / 8] & (1 << (code % 8))) != 0;
}

bool X11KeyWatcher::modifierDown() const {
    for (int i = 0; i < modifierCount_; ++i) {
        if (down_[modifierKeycodes_[i]])
            return true;
    }
    return false;
}

bool X11KeyWatcher::queryF8Pressed() {
    if (!display_)
        return false;
    readEvents(); // presses read here are answered by this query
    const bool pressedSinceQuery = f8SinceQuery_;
    f8SinceQuery_ = false;
    if (pressedSinceQuery)
        return true;
    // Held since an earlier query: make sure no release went missing before it counts again.
    if (f8Keycode_ != 0 && down_[f8Keycode_])
        refreshFromServer();
    return f8Keycode_ != 0 && down_[f8Keycode_];
}

bool X11KeyWatcher::f8Down() {
    if (!display_ || f8Keycode_ == 0)
        return false;
    readEvents();
    return down_[f8Keycode_];
}

bool X11KeyWatcher::pasteBlockingModifierDown() {
    if (!display_)
        return false;
    readEvents();
    if (!modifierDown())
        return false;
    refreshFromServer();
    return modifierDown();
}

bool X11KeyWatcher::keyboardGrabbedElsewhere() {
    if (!display_)
        return false;
    xcb_connection_t* keys = XGetXCBConnection(display_);
    xcb_window_t focus = XCB_NONE;
    if (xcb_get_input_focus_reply_t* reply =
            xcb_get_input_focus_reply(keys, xcb_get_input_focus(keys), nullptr)) {
        focus = reply->focus;
        std::free(reply);
    }
    // A trial grab on the focus window itself moves the focus nowhere, so the focused program
    // sees no focus events.
    const xcb_window_t on = focus != XCB_NONE && focus != XCB_INPUT_FOCUS_POINTER_ROOT
                                ? focus
                                : DefaultRootWindow(display_);
    xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(
        keys,
        xcb_grab_keyboard(keys, 0, on, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr);
    const uint8_t status = reply ? reply->status : uint8_t{XCB_GRAB_STATUS_SUCCESS};
    std::free(reply);
    if (status == XCB_GRAB_STATUS_SUCCESS) {
        // Let go for sure before anything is typed: the keys go out on another connection, which
        // the server may serve first.
        std::free(xcb_request_check(keys, xcb_ungrab_keyboard_checked(keys, XCB_CURRENT_TIME)));
    }
    return status == XCB_GRAB_STATUS_ALREADY_GRABBED || status == XCB_GRAB_STATUS_FROZEN;
}

} // namespace qlq
