#include "platform/x11/x11_clipboard_reader.h"

#include <QByteArray>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <mutex>
#include <thread>

#include <poll.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace qlq {

struct X11ClipboardReader::Link {
    std::mutex mutex;
    QObject* target = nullptr;
};

X11ClipboardReader::X11ClipboardReader(QByteArray displayName)
    : displayName_(std::move(displayName)), link_(std::make_shared<Link>()) {
    link_->target = this;
}

X11ClipboardReader::~X11ClipboardReader() {
    std::lock_guard lock(link_->mutex);
    link_->target = nullptr;
}

void X11ClipboardReader::read(std::function<void(std::optional<QString>)> done) {
    std::thread([link = link_, name = displayName_, done = std::move(done)]() mutable {
        std::optional<QString> text = readBlocking(name, kTimeoutMs);
        std::lock_guard lock(link->mutex);
        if (link->target) {
            QMetaObject::invokeMethod(
                link->target, [done = std::move(done), text]() { done(text); },
                Qt::QueuedConnection);
        }
    }).detach();
}

namespace {

// Waits for the next event that `accept` takes, or gives up when the time is over.
template <typename Accept>
bool waitForEvent(Display* display, XEvent* event, QElapsedTimer& clock, int timeoutMs,
                  Accept accept) {
    for (;;) {
        while (XPending(display) > 0) {
            XNextEvent(display, event);
            if (accept(*event))
                return true;
        }
        const int left = timeoutMs - static_cast<int>(clock.elapsed());
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, left);
    }
}

QByteArray takeProperty(Display* display, Window window, Atom property, Atom* type) {
    QByteArray data;
    long offset = 0;
    for (;;) {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* chunk = nullptr;
        if (XGetWindowProperty(display, window, property, offset, 1 << 16, False, AnyPropertyType,
                               &actualType, &format, &count, &after, &chunk) != Success)
            break;
        *type = actualType;
        if (chunk) {
            data.append(reinterpret_cast<const char*>(chunk),
                        static_cast<qsizetype>(count) * (format / 8));
            XFree(chunk);
        }
        if (after == 0)
            break;
        offset += static_cast<long>(count * static_cast<unsigned long>(format / 8) / 4);
    }
    XDeleteProperty(display, window, property);
    return data;
}

} // namespace

std::optional<QString> X11ClipboardReader::readBlocking(const QByteArray& displayName,
                                                        int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    Display* display = XOpenDisplay(displayName.constData());
    if (!display)
        return std::nullopt;
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom incr = XInternAtom(display, "INCR", False);
    const Atom property = XInternAtom(display, "QLQ_CLIPBOARD", False);
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window, PropertyChangeMask);

    std::optional<QString> result;
    if (XGetSelectionOwner(display, clipboard) == 0) {
        result = QString(); // nobody owns it: no text
    } else {
        XConvertSelection(display, clipboard, utf8, property, window, CurrentTime);
        XFlush(display);
        XEvent event;
        const bool answered = waitForEvent(display, &event, clock, timeoutMs, [&](const XEvent& e) {
            return e.type == SelectionNotify && e.xselection.requestor == window;
        });
        if (answered) {
            if (event.xselection.property == 0) {
                result = QString(); // the owner has no text
            } else {
                Atom type = 0;
                QByteArray data = takeProperty(display, window, property, &type);
                if (type == incr) {
                    // Large texts come in pieces; each deletion asks for the next one.
                    data.clear();
                    bool complete = false;
                    for (;;) {
                        const bool more =
                            waitForEvent(display, &event, clock, timeoutMs, [&](const XEvent& e) {
                                return e.type == PropertyNotify && e.xproperty.atom == property &&
                                       e.xproperty.state == PropertyNewValue;
                            });
                        if (!more)
                            break;
                        const QByteArray piece = takeProperty(display, window, property, &type);
                        if (piece.isEmpty()) {
                            complete = true;
                            break;
                        }
                        data.append(piece);
                    }
                    if (complete)
                        result = QString::fromUtf8(data);
                } else if (type == utf8 || type == XA_STRING) {
                    result = type == utf8 ? QString::fromUtf8(data) : QString::fromLatin1(data);
                } else {
                    result = QString();
                }
            }
        }
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return result;
}

bool qtHoldsClipboard() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return QGuiApplication::clipboard()->ownsClipboard();
    static xcb_atom_t clipboard = XCB_NONE; // the same for the server's whole life
    if (clipboard == XCB_NONE) {
        static constexpr char kName[] = "CLIPBOARD";
        if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
                connection, xcb_intern_atom(connection, 0, sizeof(kName) - 1, kName), nullptr)) {
            clipboard = reply->atom;
            std::free(reply);
        }
    }
    if (clipboard == XCB_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, clipboard), nullptr);
    if (!owner)
        return false;
    // Every resource a client creates carries that client's id base.
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const bool ours = owner->owner != XCB_NONE &&
                      (owner->owner & ~setup->resource_id_mask) == setup->resource_id_base;
    std::free(owner);
    return ours;
}

} // namespace qlq
