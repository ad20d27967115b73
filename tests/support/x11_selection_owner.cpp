#include "support/x11_selection_owner.h"

#include <poll.h>

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

X11SelectionOwner::X11SelectionOwner(QByteArray incrText) : text_(std::move(incrText)) {
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
}

X11SelectionOwner::~X11SelectionOwner() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (display_)
        XCloseDisplay(display_);
}

bool X11SelectionOwner::take() {
    if (!display_ || thread_.joinable())
        return false;
    // Strictly later than every time handed out so far: the server counts milliseconds.
    const Time before = serverTime(display_, window_);
    Time now = before;
    while (now <= before)
        now = serverTime(display_, window_);
    XSetSelectionOwner(display_, atom(display_, "CLIPBOARD"), window_, now);
    const bool owner = owns();
    if (!text_.isEmpty())
        thread_ = std::thread([this] { serve(); });
    return owner;
}

void X11SelectionOwner::serve() {
    const Atom utf8 = atom(display_, "UTF8_STRING");
    const Atom incr = atom(display_, "INCR");
    Window requestor = 0; // of the transfer under way
    Atom property = 0;
    qsizetype sent = 0;
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    while (!stop_) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == SelectionRequest) {
                const XSelectionRequestEvent& r = event.xselectionrequest;
                if (r.target == utf8) { // announce the size; the pieces follow
                    XSelectInput(display_, r.requestor, PropertyChangeMask);
                    const long size = static_cast<long>(text_.size());
                    XChangeProperty(display_, r.requestor, r.property, incr, 32, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(&size), 1);
                    requestor = r.requestor;
                    property = r.property;
                    sent = 0;
                }
                XEvent reply{};
                reply.xselection = {
                    SelectionNotify, 0,           True,     display_,
                    r.requestor,     r.selection, r.target, r.target == utf8 ? r.property : None,
                    r.time};
                XSendEvent(display_, r.requestor, False, 0, &reply);
            } else if (event.type == PropertyNotify && event.xproperty.window == requestor &&
                       event.xproperty.atom == property &&
                       event.xproperty.state == PropertyDelete) {
                // The requestor took the last piece: the next one, an empty one at the end.
                const QByteArray piece = text_.mid(sent, qsizetype(64) * 1024);
                XChangeProperty(display_, requestor, property, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(piece.constData()),
                                static_cast<int>(piece.size()));
                sent += piece.size();
                if (piece.isEmpty())
                    requestor = 0;
            }
            XFlush(display_);
        }
        poll(&connection, 1, 20); // wakes for the stop flag too
    }
}

bool X11SelectionOwner::owns() const {
    return display_ && XGetSelectionOwner(display_, atom(display_, "CLIPBOARD")) == window_;
}
