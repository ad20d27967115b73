#pragma once

#include <QString>

namespace qlq {

// The program's name as windows and message boxes show it.
inline QString programTitle() {
    return QStringLiteral("青岚雀贴吧小尾巴");
}

} // namespace qlq
