#include "platform/desktop_factory.h"
#include "platform/win32/win32_desktop.h"

namespace qlq {

void prepareDesktop() {}

std::unique_ptr<DesktopServices> createDesktop() {
    return std::make_unique<Win32Desktop>();
}

} // namespace qlq
