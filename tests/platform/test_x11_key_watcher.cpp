// F8 watching and the modifier check of the X11 desktop, driven by xdotool on a private Xvfb.
#include "x11_test_tools.h"

#include <QTest>

using namespace qlq;

namespace {

struct X11KeyWatching : X11DesktopTest {
    void SetUp() override {
        X11DesktopTest::SetUp();
        ASSERT_FALSE(queryF8Pressed());
    }
    // Tapping Alt is a marker: once its release is reported, everything typed before is seen.
    void waitUntilEverythingTypedIsSeen() {
        const int before = modifierReports;
        xdotool({"key", "alt"});
        ASSERT_TRUE(QTest::qWaitFor([&] { return modifierReports > before; }, 5000));
    }
};

} // namespace

TEST_F(X11KeyWatching, EachTapReadsAsOnePressAndReachesTheHandlerOnce) {
    for (int i = 0; i < 2; ++i) { // a tap between two queries
        xdotool({"key", "F8"});
        EXPECT_TRUE(queryF8Pressed());
        EXPECT_FALSE(queryF8Pressed());
    }
    waitUntilEverythingTypedIsSeen();
    const int before = f8Reports;
    for (int press = 1; press <= 2; ++press) {
        xdotool({"key", "F8"});
        ASSERT_TRUE(QTest::qWaitFor([&] { return f8Reports >= before + press; }, 5000));
        waitUntilEverythingTypedIsSeen();
        EXPECT_EQ(f8Reports, before + press);
        // The handler does not take the press away from the poll.
        EXPECT_TRUE(queryF8Pressed());
        EXPECT_FALSE(queryF8Pressed());
    }
}

TEST_F(X11KeyWatching, HeldF8ReadsPressedAtEveryQueryAndOtherKeysAreNotF8) {
    xdotool({"key", "a", "F7", "F9", "ctrl+v", "Return"});
    xdotool({"keydown", "F9"});
    EXPECT_FALSE(queryF8Pressed());
    xdotool({"keyup", "F9"});
    waitUntilEverythingTypedIsSeen();
    EXPECT_FALSE(queryF8Pressed());
    EXPECT_EQ(f8Reports, 0);

    xdotool({"keydown", "F8"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return f8Reports >= 1; }, 5000));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(queryF8Pressed()) << "query " << i;
    xdotool({"keyup", "F8"});
    waitUntilEverythingTypedIsSeen();
    EXPECT_FALSE(queryF8Pressed());
    EXPECT_EQ(f8Reports, 1);
}

TEST_F(X11KeyWatching, AltOrSuperHeldDefersThePasteUntilReleased) {
    for (const char* modifier : {"alt", "super"}) {
        xdotool({"keydown", modifier});
        EXPECT_EQ(deliver().outcome, DeliveryResult::Outcome::HeldBack) << modifier;
        const int before = modifierReports;
        xdotool({"keyup", modifier}); // reported, so a deferred press can go out at once
        ASSERT_TRUE(QTest::qWaitFor([&] { return modifierReports > before; }, 5000));
        EXPECT_EQ(deliver().outcome, DeliveryResult::Outcome::Sent) << modifier;
    }
    xdotool({"keydown", "shift"}); // Ctrl and Shift do not stop Ctrl+V
    EXPECT_EQ(deliver().outcome, DeliveryResult::Outcome::Sent);
    xdotool({"keyup", "shift"});
}
