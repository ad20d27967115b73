#include "ui/program_icon.h"

namespace qlq {

QIcon programIcon() {
    QIcon icon;
    for (int size : {48, 32, 24, 16})
        icon.addFile(QStringLiteral(":/icons/qinglanque-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace qlq
