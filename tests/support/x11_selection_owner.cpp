#include "support/x11_selection_owner.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Atom atom(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

// The server's time now: change a property and read the time of its notification.
Time serverTime(Display* display, Window window) {
    XChangeProperty(display, window, atom(display, "QLQ_TEST_STAMP"), XA_STRING, 8, PropModeAppend,
                    nullptr, 0);
    XEvent event;
    XWindowEvent(display, window, PropertyChangeMask, &event);
    return event.xproperty.time;
}

} // namespace

X11SelectionOwner::X11SelectionOwner() : display_(XOpenDisplay(nullptr)) {
    if (display_) {
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(display_, window_, PropertyChangeMask);
    }
}

X11SelectionOwner::~X11SelectionOwner() {
    if (display_)
        XCloseDisplay(display_);
}

bool X11SelectionOwner::take() {
    if (!display_)
        return false;
    // Strictly later than every time handed out so far: the server counts milliseconds.
    const Time before = serverTime(display_, window_);
    Time now = before;
    while (now <= before)
        now = serverTime(display_, window_);
    XSetSelectionOwner(display_, atom(display_, "CLIPBOARD"), window_, now);
    return owns();
}

bool X11SelectionOwner::owns() const {
    return display_ && XGetSelectionOwner(display_, atom(display_, "CLIPBOARD")) == window_;
}
