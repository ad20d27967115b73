#pragma once

#include "platform/desktop.h"

#include <QString>

#include <memory>
#include <optional>

namespace qlq {

// Each desktop backend provides these two; the program links exactly one backend.

// Runs before the application object exists, with what -platform and -display said (empty:
// not given). Returns why the program cannot start on this desktop, for the user, or nothing.
std::optional<QString> prepareDesktop(const QString& platform, const QString& display);

// The desktop the program runs on; needs the application object.
std::unique_ptr<Desktop> createDesktop();

} // namespace qlq
