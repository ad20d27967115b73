#include "platform/desktop_factory.h"
#include "platform/win32/win32_desktop.h"

namespace qlq {

std::optional<QString> prepareDesktop(const QString&, const QString&) {
    return std::nullopt; // a Windows session always has its desktop
}

std::unique_ptr<Desktop> createDesktop() {
    return std::make_unique<Win32Desktop>();
}

} // namespace qlq
