#pragma once

#include <QString>

namespace qlq {

// A quick slot's lock button names the action of its next click: "开锁" while locked (or at
// start), "锁住" while unlocked. The toggle reads nothing but the caption.
struct QuickSlotState {
    QString caption;
    bool readOnly = false;
    bool enabled = true;
};

inline const QString kUnlockCaption = QStringLiteral("开锁");
inline const QString kLockCaption = QStringLiteral("锁住");

QuickSlotState toggleQuickSlot(const QString& currentCaption);

} // namespace qlq
