#pragma once

#include "platform/desktop_services.h"

#include <memory>

namespace qlq {

// Each desktop backend provides these two; the program links exactly one backend.

// Runs before the application object exists.
void prepareDesktop();

// The desktop the program runs on; needs the application object.
std::unique_ptr<DesktopServices> createDesktop();

} // namespace qlq
