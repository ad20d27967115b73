#pragma once

#include <QByteArray>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include <xcb/xcb.h>

namespace qlq {

// The press path's own connection to the X server: the clipboard is taken and Ctrl+V typed on
// it in one flush, and a thread of its own reads its events, so the target's request for the
// text is answered however busy the windows are. xcb may be called from any thread; only the
// event thread reads events.
class X11PressConnection {
public:
    enum Atom {
        Clipboard,
        Targets,
        Timestamp,
        Utf8String,
        TextPlainUtf8,
        String,
        Text,
        Incr,
        Multiple,
        ReadBack, // our property for reading another owner's text
        AtomCount,
    };
    using Clock = std::chrono::steady_clock;
    // Called on the event thread: for every event, and when the deadline set by wakeAt() has
    // come.
    using EventHandler = std::function<void(const xcb_generic_event_t&)>;
    using Handler = std::function<void()>;

    explicit X11PressConnection(const QByteArray& displayName);
    ~X11PressConnection();
    X11PressConnection(const X11PressConnection&) = delete;
    X11PressConnection& operator=(const X11PressConnection&) = delete;

    bool ok() const { return window_ != XCB_NONE; }
    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t window() const { return window_; }
    xcb_atom_t atom(Atom which) const { return atoms_[which]; }
    uint8_t xfixesFirstEvent() const { return xfixesFirstEvent_; }
    bool hasXTest() const { return hasXTest_; }
    // Largest property, in bytes, that one request can carry.
    uint32_t maxPropertyBytes() const { return maxPropertyBytes_; }

    // Starts the event thread with its handlers; destroying this stops it.
    void run(EventHandler onEvent, Handler onTimeout);
    // The event thread calls the timeout handler at `when` or earlier: the earliest time asked
    // for since the last call wins, and the handler asks again for what it still waits on.
    void wakeAt(Clock::time_point when);
    // Another thread waited for a reply on this connection, and xcb may have queued events
    // while reading it: the event thread must look.
    void nudge();
    // Waits (at most `limit`) until the event thread has handled every event that reached this
    // connection before the call: after a reply, the events the server sent before it.
    void waitUntilHandled(std::chrono::milliseconds limit);

private:
    void loop();

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t window_ = XCB_NONE;
    std::array<xcb_atom_t, AtomCount> atoms_{};
    uint8_t xfixesFirstEvent_ = 0;
    bool hasXTest_ = false;
    uint32_t maxPropertyBytes_ = 0;
    int wakeFd_ = -1;
    std::atomic<bool> stopping_{false};
    std::mutex deadlineMutex_;
    Clock::time_point deadline_ = Clock::time_point::max();
    EventHandler onEvent_;
    Handler onTimeout_;
    std::mutex handledMutex_;
    std::condition_variable handled_;
    unsigned long handleRequests_ = 0;
    unsigned long handledRequests_ = 0;
    std::thread thread_;
};

} // namespace qlq
