#include "support/x11_clipboard_rival.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <poll.h>

namespace {

// The next event of `type` for `window`, or false after about a second.
bool nextEvent(Display* display, Window window, int type, XEvent* event) {
    for (int waited = 0; waited < 1000; waited += 10) {
        if (XCheckTypedWindowEvent(display, window, type, event))
            return true;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 10);
    }
    return false;
}

} // namespace

X11ClipboardRival::X11ClipboardRival(Kind kind, std::chrono::milliseconds delay, QByteArray ownText)
    : kind_(kind), delay_(delay), text_(std::move(ownText)), thread_([this] { run(); }) {
    while (!ready_)
        std::this_thread::yield();
}

X11ClipboardRival::~X11ClipboardRival() {
    stop_ = true;
    thread_.join();
}

void X11ClipboardRival::run() {
    Display* display = XOpenDisplay(nullptr);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom targets = XInternAtom(display, "TARGETS", False);
    const Atom property = XInternAtom(display, "RIVAL_TEXT", False);
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    int fixesEvent = 0, fixesError = 0;
    XFixesQueryExtension(display, &fixesEvent, &fixesError);
    XFixesSelectSelectionInput(display, window, clipboard, XFixesSetSelectionOwnerNotifyMask);
    if (kind_ == Kind::Silent) {
        XSetSelectionOwner(display, clipboard, window, CurrentTime);
        ++retakes_;
    }
    XSync(display, False);
    ready_ = true;
    while (!stop_) {
        if (!XPending(display)) {
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, 20);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == fixesEvent + XFixesSelectionNotify) {
            const auto& notify = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
            if (kind_ == Kind::Silent || notify.owner == window || notify.owner == None)
                continue;
            const auto seen = std::chrono::steady_clock::now();
            if (kind_ == Kind::SameText) { // read what the other program put there
                XConvertSelection(display, clipboard, utf8, property, window,
                                  notify.selection_timestamp);
                XEvent answer;
                if (!nextEvent(display, window, SelectionNotify, &answer) ||
                    answer.xselection.property == None)
                    continue;
                Atom type = 0;
                int format = 0;
                unsigned long count = 0, after = 0;
                unsigned char* data = nullptr;
                XGetWindowProperty(display, window, property, 0, 1 << 24, True, AnyPropertyType,
                                   &type, &format, &count, &after, &data);
                text_ = QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(count));
                XFree(data);
            }
            std::this_thread::sleep_until(seen + delay_);
            XSetSelectionOwner(display, clipboard, window, notify.selection_timestamp);
            XSync(display, False);
            ++retakes_;
        } else if (event.type == SelectionRequest && kind_ != Kind::Silent) {
            const XSelectionRequestEvent& request = event.xselectionrequest;
            XSelectionEvent reply{};
            reply.type = SelectionNotify;
            reply.requestor = request.requestor;
            reply.selection = request.selection;
            reply.target = request.target;
            reply.time = request.time;
            reply.property = request.property;
            if (request.target == targets) {
                const Atom offered[] = {targets, utf8};
                XChangeProperty(display, request.requestor, request.property, XA_ATOM, 32,
                                PropModeReplace, reinterpret_cast<const unsigned char*>(offered),
                                2);
            } else if (request.target == utf8) {
                XChangeProperty(display, request.requestor, request.property, utf8, 8,
                                PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text_.constData()),
                                static_cast<int>(text_.size()));
            } else {
                reply.property = None;
            }
            XSendEvent(display, request.requestor, False, NoEventMask,
                       reinterpret_cast<XEvent*>(&reply));
            XFlush(display);
        }
    }
    XCloseDisplay(display);
}
