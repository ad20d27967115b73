#include "platform/x11/x11_display_check.h"

#include <xcb/xcb.h>

namespace qlq {

bool x11DisplayReachable(const QByteArray& name) {
    if (name.isEmpty())
        return false;
    xcb_connection_t* connection = xcb_connect(name.constData(), nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

} // namespace qlq
