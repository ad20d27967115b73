#pragma once

#include <QString>

namespace qlq {

// Applies the skin file to the whole program as a Qt style sheet. A missing or unreadable file
// leaves the default look; returns whether a skin was applied.
bool attachSkin(const QString& skinFile);

} // namespace qlq
