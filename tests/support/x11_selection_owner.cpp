#include "support/x11_selection_owner.h"

#include <poll.h>
#include <unistd.h>

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

X11SelectionOwner::X11SelectionOwner(Answer answer, QByteArray utf8Text, int pieceBytes)
    : answer_(answer), text_(std::move(utf8Text)), pieceBytes_(pieceBytes) {
    display_ = XOpenDisplay(nullptr);
    if (!display_)
        return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
    if (pipe(stopPipe_) != 0)
        stopPipe_[0] = stopPipe_[1] = -1;
}

X11SelectionOwner::~X11SelectionOwner() {
    if (thread_.joinable()) {
        const char stop = 's';
        [[maybe_unused]] const ssize_t written = write(stopPipe_[1], &stop, 1);
        thread_.join();
    }
    for (int fd : stopPipe_) {
        if (fd >= 0)
            close(fd);
    }
    if (display_) {
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
}

bool X11SelectionOwner::take() {
    if (!display_ || started_)
        return false;
    // Strictly later than every time handed out so far: the server counts milliseconds.
    const Time before = serverTime(display_, window_);
    Time now = before;
    while (now <= before)
        now = serverTime(display_, window_);
    const Atom clipboard = atom(display_, "CLIPBOARD");
    XSetSelectionOwner(display_, clipboard, window_, now);
    const bool owner = XGetSelectionOwner(display_, clipboard) == window_;
    started_ = true;
    thread_ = std::thread([this] { serve(); });
    return owner;
}

void X11SelectionOwner::serve() {
    const Atom targets = atom(display_, "TARGETS");
    const Atom utf8 = atom(display_, "UTF8_STRING");
    const Atom incr = atom(display_, "INCR");
    // The one transfer in pieces under way, if any.
    Window pieceRequestor = 0;
    Atom pieceProperty = 0;
    qsizetype sent = 0;
    bool finished = false;

    auto notify = [&](const XSelectionRequestEvent& request, Atom property) {
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = request.requestor;
        reply.xselection.selection = request.selection;
        reply.xselection.target = request.target;
        reply.xselection.property = property;
        reply.xselection.time = request.time;
        XSendEvent(display_, request.requestor, False, 0, &reply);
        XFlush(display_);
    };
    auto answer = [&](const XSelectionRequestEvent& request) {
        if (request.target == targets) {
            const Atom offered[] = {targets, utf8};
            XChangeProperty(display_, request.requestor, request.property, XA_ATOM, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(offered), 2);
            notify(request, request.property);
        } else if (request.target != utf8) {
            notify(request, 0);
        } else if (answer_ == Answer::AllAtOnce) {
            XChangeProperty(display_, request.requestor, request.property, utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text_.constData()),
                            static_cast<int>(text_.size()));
            notify(request, request.property);
        } else {
            XSelectInput(display_, request.requestor, PropertyChangeMask);
            const long size = static_cast<long>(text_.size());
            XChangeProperty(display_, request.requestor, request.property, incr, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(&size), 1);
            pieceRequestor = request.requestor;
            pieceProperty = request.property;
            sent = 0;
            notify(request, request.property);
        }
    };
    // The requestor deleted the property: it wants the next piece (an empty one ends it).
    auto nextPiece = [&] {
        const QByteArray piece = text_.mid(sent, pieceBytes_);
        XChangeProperty(display_, pieceRequestor, pieceProperty, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(piece.constData()),
                        static_cast<int>(piece.size()));
        XFlush(display_);
        sent += piece.size();
        if (piece.isEmpty())
            pieceRequestor = 0;
    };

    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    while (!finished) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == SelectionRequest && answer_ != Answer::Never)
                answer(event.xselectionrequest);
            else if (event.type == PropertyNotify && pieceRequestor != 0 &&
                     event.xproperty.window == pieceRequestor &&
                     event.xproperty.atom == pieceProperty &&
                     event.xproperty.state == PropertyDelete)
                nextPiece();
        }
        poll(fds, 2, -1);
        finished = (fds[1].revents & POLLIN) != 0;
    }
}

unsigned long currentClipboardOwner() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    const Window owner = XGetSelectionOwner(display, atom(display, "CLIPBOARD"));
    XCloseDisplay(display);
    return owner;
}
