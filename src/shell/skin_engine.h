#pragma once

#include <QString>

#include <optional>

namespace qlq {

// Applies the skin file to the whole program as a Qt style sheet. A missing or unreadable file
// leaves the default look quietly. A sheet that names a file other than a regular one in a
// url() is refused, since Qt would open it while drawing and a FIFO there would hang the window;
// the reason is returned for the user.
std::optional<QString> attachSkin(const QString& skinFile);

} // namespace qlq
