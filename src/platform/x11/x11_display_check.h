#pragma once

#include <QByteArray>

namespace qlq {

// Whether an X11 display can be reached, asked before Qt, which aborts without one.
// `name` is what -display or $DISPLAY says (empty: none given).
bool x11DisplayReachable(const QByteArray& name);

} // namespace qlq
