#include "platform/wayland/wayland_connection.h"

#include "config/log_categories.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <poll.h>
#include <string_view>

namespace qlq {
namespace {

constexpr int kStartTimeoutMs = 2000;

} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        qCInfo(log::desktop, "no Wayland compositor answers (WAYLAND_DISPLAY=%s)",
               qgetenv("WAYLAND_DISPLAY").constData());
        return nullptr;
    }
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    if (!connection->sync(kStartTimeoutMs)) {
        qCWarning(log::desktop, "the Wayland compositor did not tell what it offers");
        return nullptr;
    }
    return connection;
}

WaylandConnection::WaylandConnection(wl_display* display) : display_(display) {
    static const wl_registry_listener listener = {&WaylandConnection::onGlobal,
                                                  &WaylandConnection::onGlobalRemoved};
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &listener, this);
    notifier_ = new QSocketNotifier(wl_display_get_fd(display_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &WaylandConnection::onReadable);
}

WaylandConnection::~WaylandConnection() {
    delete notifier_;
    if (seat_)
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(seat_));
    wl_registry_destroy(registry_);
    wl_display_flush(display_);
    wl_display_disconnect(display_);
}

void WaylandConnection::onGlobal(void* data, wl_registry* registry, std::uint32_t name,
                                 const char* interface, std::uint32_t version) {
    auto* self = static_cast<WaylandConnection*>(data);
    self->globals_.emplace(interface, Global{name, version});
    // The first seat: the one the user's keyboard and clipboard belong to.
    if (!self->seat_ && std::string_view(interface) == wl_seat_interface.name)
        self->seat_ =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

void WaylandConnection::onGlobalRemoved(void* data, wl_registry*, std::uint32_t name) {
    auto* self = static_cast<WaylandConnection*>(data);
    std::erase_if(self->globals_,
                  [name](const auto& global) { return global.second.name == name; });
}

void* WaylandConnection::bind(const wl_interface* interface, std::uint32_t maxVersion) {
    const auto found = globals_.find(interface->name);
    if (found == globals_.end())
        return nullptr;
    return wl_registry_bind(registry_, found->second.name, interface,
                            std::min(found->second.version, maxVersion));
}

bool WaylandConnection::broken() const {
    return wl_display_get_error(display_) != 0;
}

bool WaylandConnection::flush() {
    // On a full socket (the compositor stopped reading) the rest stays buffered and goes out
    // with a later flush.
    return !broken() && wl_display_flush(display_) >= 0;
}

void WaylandConnection::onReadable() {
    if (wl_display_prepare_read(display_) == 0 && wl_display_read_events(display_) < 0) {
        qCWarning(log::desktop, "lost the connection to the Wayland compositor");
        notifier_->setEnabled(false);
        return;
    }
    wl_display_dispatch_pending(display_);
    flush();
}

bool WaylandConnection::sync(int timeoutMs) {
    bool done = false;
    static const wl_callback_listener listener = {
        [](void* data, wl_callback*, std::uint32_t) { *static_cast<bool*>(data) = true; }};
    wl_callback* callback = wl_display_sync(display_);
    wl_callback_add_listener(callback, &listener, &done);
    const QDeadlineTimer deadline(timeoutMs);
    while (!done && !broken()) {
        while (!done && wl_display_prepare_read(display_) != 0)
            wl_display_dispatch_pending(display_);
        if (done) {
            wl_display_cancel_read(display_);
            break;
        }
        flush();
        pollfd socket{wl_display_get_fd(display_), POLLIN, 0};
        if (poll(&socket, 1, static_cast<int>(deadline.remainingTime())) <= 0) {
            wl_display_cancel_read(display_);
            break;
        }
        if (wl_display_read_events(display_) < 0)
            break;
        wl_display_dispatch_pending(display_);
    }
    // Unanswered, the callback's late answer finds no listener.
    wl_callback_destroy(callback);
    return done;
}

} // namespace qlq
