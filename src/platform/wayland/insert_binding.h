#pragma once

#include <QString>

#include <optional>

namespace qlq {

// Whether a sway/i3 configuration binds a key to `qinglanque --insert` (a line of its own, not
// commented out).
bool configBindsInsert(const QString& config);

// The running sway's configuration, asked through its IPC socket ($SWAYSOCK); nothing when no
// sway answers.
std::optional<QString> runningSwayConfig();

// Whether GNOME's custom keyboard shortcuts hold the entry `qinglanque --bind-gnome-f8` writes
// (asked with gsettings, on GNOME only).
bool gnomeBindsInsert();

} // namespace qlq
