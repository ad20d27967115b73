#pragma once

#include <QObject>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class QSocketNotifier;
struct wl_display;
struct wl_interface;
struct wl_registry;
struct wl_seat;

namespace qlq {

// A connection of our own to the Wayland compositor, beside Qt's X11 one: its events are read
// and dispatched from the event loop whenever the socket has some, so nothing here waits for the
// compositor except sync(), which is bounded.
class WaylandConnection : public QObject {
    Q_OBJECT
public:
    // Connects to the compositor WAYLAND_DISPLAY names and reads what it offers; nothing when no
    // compositor answers.
    static std::unique_ptr<WaylandConnection> open();
    ~WaylandConnection() override;

    wl_display* display() const { return display_; }
    wl_seat* seat() const { return seat_; }
    bool offers(const char* interface) const { return globals_.count(interface) != 0; }
    // Binds an offered global at its version or `maxVersion`, whichever is lower; null when the
    // compositor does not offer it.
    void* bind(const wl_interface* interface, std::uint32_t maxVersion);
    // Sends what is buffered; false when not all of it went out.
    bool flush();
    // Waits until the compositor has handled every request sent so far, dispatching what comes
    // meanwhile; false when it did not answer within `timeoutMs`.
    bool sync(int timeoutMs);
    bool broken() const;

private:
    struct Global {
        std::uint32_t name = 0;
        std::uint32_t version = 0;
    };

    explicit WaylandConnection(wl_display* display);
    void onReadable();
    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                         const char* interface, std::uint32_t version);
    static void onGlobalRemoved(void* data, wl_registry* registry, std::uint32_t name);

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    std::map<std::string, Global> globals_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace qlq
