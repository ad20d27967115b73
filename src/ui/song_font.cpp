#include "ui/song_font.h"

namespace qlq {

QStringList songFamilies(const char* designedFace) {
    QStringList families = {QStringLiteral("NSimSun"),
                            QStringLiteral("SimSun"),
                            QStringLiteral("AR PL UMing CN"),
                            QStringLiteral("Noto Serif CJK SC"),
                            QStringLiteral("Noto Sans CJK SC"),
                            QStringLiteral("WenQuanYi Zen Hei"),
                            QStringLiteral("Droid Sans Fallback")};
    if (designedFace != nullptr)
        families.prepend(QString::fromUtf8(designedFace));
    return families;
}

QFont songFont(qreal points, const char* designedFace) {
    QFont font;
    font.setFamilies(songFamilies(designedFace));
    font.setPointSizeF(points);
    return font;
}

} // namespace qlq
