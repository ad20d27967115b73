#pragma once

#include <QFont>
#include <QStringList>

namespace qlq {

// The Song-style faces the windows were drawn with (the designed face first, when given), then
// the CJK faces Linux desktops install, so that Chinese never shows as boxes.
QStringList songFamilies(const char* designedFace = nullptr);

QFont songFont(qreal points, const char* designedFace = nullptr);

} // namespace qlq
