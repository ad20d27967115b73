#include "insert/quick_slot.h"

#include <gtest/gtest.h>

using namespace qlq;

TEST(QuickSlot, CaptionDecidesTheToggle) {
    // Start and locked: "开锁" unlocks.
    const QuickSlotState unlocked = toggleQuickSlot(QStringLiteral("开锁"));
    EXPECT_EQ(unlocked.caption, QStringLiteral("锁住"));
    EXPECT_FALSE(unlocked.readOnly);
    EXPECT_TRUE(unlocked.enabled);
    // Anything else locks, even a caption that only looks alike.
    for (const QString& caption : {QStringLiteral("锁住"), QStringLiteral("开锁 "), QString()}) {
        const QuickSlotState locked = toggleQuickSlot(caption);
        EXPECT_EQ(locked.caption, QStringLiteral("开锁"));
        EXPECT_TRUE(locked.readOnly);
        EXPECT_FALSE(locked.enabled);
    }
}
