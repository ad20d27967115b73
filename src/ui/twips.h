#pragma once

#include <QRect>

namespace qlq {

// Layouts are designed in twips; one logical pixel is 15 twips at 96 DPI, and Qt's high-DPI
// scaling takes it from there.
constexpr int twips(int value) {
    return value >= 0 ? (value + 7) / 15 : -((-value + 7) / 15);
}

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

constexpr QRect twipsRect(const QRect& area) {
    return twipsRect(area.x(), area.y(), area.width(), area.height());
}

} // namespace qlq
