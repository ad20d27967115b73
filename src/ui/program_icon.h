#pragma once

#include <QIcon>

namespace qlq {

// The program icon: 48, 32, 24 and 16 pixel images; every window and the tray share it.
QIcon programIcon();

} // namespace qlq
