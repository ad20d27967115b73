#include "platform/desktop_factory.h"
#include "platform/x11/x11_desktop.h"

namespace qlq {

void prepareDesktop() {
    prepareX11Threads();
}

std::unique_ptr<DesktopServices> createDesktop() {
    return std::make_unique<X11Desktop>();
}

} // namespace qlq
