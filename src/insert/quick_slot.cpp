#include "insert/quick_slot.h"

namespace qlq {

QuickSlotState toggleQuickSlot(const QString& currentCaption) {
    if (currentCaption == kUnlockCaption)
        return QuickSlotState{kLockCaption, false, true};
    return QuickSlotState{kUnlockCaption, true, false};
}

} // namespace qlq
