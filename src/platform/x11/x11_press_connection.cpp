#include "platform/x11/x11_press_connection.h"

#include "config/log_categories.h"

#include <xcb/xcbext.h>
#include <xcb/xfixes.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace qlq {
namespace {

constexpr const char* kAtomNames[X11PressConnection::AtomCount] = {
    "CLIPBOARD", "TARGETS", "TIMESTAMP", "UTF8_STRING", "text/plain;charset=utf-8",
    "STRING",    "TEXT",    "INCR",      "MULTIPLE",    "QLQ_READ_BACK",
};

} // namespace

X11PressConnection::X11PressConnection(const QByteArray& displayName) {
    connection_ = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), nullptr);
    if (xcb_connection_has_error(connection_)) {
        qCWarning(log::desktop, "the press path cannot reach the X server %s",
                  displayName.constData());
        return;
    }
    // Every question goes out at once; the answers are read after.
    std::array<xcb_intern_atom_cookie_t, AtomCount> atomCookies{};
    for (int i = 0; i < AtomCount; ++i)
        atomCookies[i] = xcb_intern_atom(
            connection_, 0, static_cast<uint16_t>(std::strlen(kAtomNames[i])), kAtomNames[i]);
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection_, &xcb_xfixes_id);
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(connection_, &xcb_test_id);
    for (int i = 0; i < AtomCount; ++i) {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection_, atomCookies[i], nullptr);
        atoms_[i] = reply ? reply->atom : XCB_NONE;
        std::free(reply);
    }
    hasXTest_ = xtest && xtest->present;
    // Room for the request's own header; xcb counts in four-byte units.
    maxPropertyBytes_ = xcb_get_maximum_request_length(connection_) * 4 - 64;

    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    // Its own property changes tell the owner's text arriving in parts.
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    if (xfixes && xfixes->present) {
        xfixesFirstEvent_ = xfixes->first_event;
        xcb_discard_reply(connection_, xcb_xfixes_query_version(connection_, 5, 0).sequence);
        xcb_xfixes_select_selection_input(
            connection_, window_, atoms_[Clipboard],
            XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    }
    xcb_flush(connection_);
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

X11PressConnection::~X11PressConnection() {
    stopping_ = true;
    nudge();
    if (thread_.joinable())
        thread_.join();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
    xcb_disconnect(connection_);
}

void X11PressConnection::run(EventHandler onEvent, Handler onTimeout) {
    if (!ok() || wakeFd_ < 0)
        return;
    onEvent_ = std::move(onEvent);
    onTimeout_ = std::move(onTimeout);
    thread_ = std::thread([this] { loop(); });
}

void X11PressConnection::wakeAt(Clock::time_point when) {
    {
        std::lock_guard lock(deadlineMutex_);
        deadline_ = std::min(deadline_, when);
    }
    nudge();
}

void X11PressConnection::nudge() {
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
    }
}

void X11PressConnection::waitUntilHandled(std::chrono::milliseconds limit) {
    if (!thread_.joinable())
        return;
    std::unique_lock lock(handledMutex_);
    const unsigned long request = ++handleRequests_;
    lock.unlock();
    nudge();
    lock.lock();
    handled_.wait_for(lock, limit, [&] { return handledRequests_ >= request; });
}

void X11PressConnection::loop() {
    pollfd fds[2] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    while (!stopping_) {
        unsigned long askedBefore = 0;
        {
            std::lock_guard lock(handledMutex_);
            askedBefore = handleRequests_;
        }
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            onEvent_(*event);
            std::free(event);
        }
        {
            std::lock_guard lock(handledMutex_);
            handledRequests_ = askedBefore;
        }
        handled_.notify_all();
        if (xcb_connection_has_error(connection_)) {
            qCWarning(log::desktop, "the press path lost its X connection");
            return;
        }
        Clock::time_point deadline;
        {
            std::lock_guard lock(deadlineMutex_);
            deadline = deadline_;
        }
        int timeoutMs = -1;
        if (deadline != Clock::time_point::max()) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) {
                {
                    std::lock_guard lock(deadlineMutex_);
                    if (deadline_ == deadline)
                        deadline_ = Clock::time_point::max();
                }
                onTimeout_();
                continue;
            }
            timeoutMs = static_cast<int>(left);
        }
        if (::poll(fds, 2, timeoutMs) > 0 && (fds[1].revents & POLLIN)) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t read = ::read(wakeFd_, &count, sizeof count);
        }
    }
}

} // namespace qlq
