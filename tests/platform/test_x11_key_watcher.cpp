// F8 watching and the modifier check of the X11 desktop, driven by XTest key events from
// xdotool on a private Xvfb.
#include "platform/x11/x11_desktop.h"
#include "x11_test_tools.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace qlq;

namespace {

struct X11KeyWatching : ::testing::Test {
    X11Desktop desktop;
    int f8Reports = 0;
    int modifierReports = 0;

    void SetUp() override {
        ASSERT_TRUE(desktop.keyboardAvailable());
        desktop.setKeyActivityHandler([this](KeyActivity activity) {
            if (activity == KeyActivity::F8Pressed)
                ++f8Reports;
            else
                ++modifierReports;
        });
        ASSERT_FALSE(desktop.queryF8Pressed());
    }

    // Tapping Alt is a marker: raw events arrive in order, so once its release is reported,
    // everything typed before it has been seen too.
    void waitUntilEverythingTypedIsSeen() {
        const int before = modifierReports;
        xdotool({QStringLiteral("key"), QStringLiteral("alt")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return modifierReports > before; }, 5000));
    }
};

} // namespace

TEST_F(X11KeyWatching, PressBetweenTwoQueriesReadsAsOnePress) {
    xdotool({QStringLiteral("key"), QStringLiteral("F8")});
    EXPECT_TRUE(desktop.queryF8Pressed());
    EXPECT_FALSE(desktop.queryF8Pressed());

    // Twice more, each press once: nothing of an earlier one is left over.
    for (int i = 0; i < 2; ++i) {
        xdotool({QStringLiteral("key"), QStringLiteral("F8")});
        EXPECT_TRUE(desktop.queryF8Pressed());
        EXPECT_FALSE(desktop.queryF8Pressed());
    }
}

TEST_F(X11KeyWatching, EachPressReachesTheHandlerOnce) {
    for (int press = 1; press <= 3; ++press) {
        xdotool({QStringLiteral("key"), QStringLiteral("F8")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return f8Reports >= press; }, 5000));
        waitUntilEverythingTypedIsSeen();
        EXPECT_EQ(f8Reports, press);
    }
    // The handler does not answer the press for the poll: the next query still sees it.
    EXPECT_TRUE(desktop.queryF8Pressed());
    EXPECT_FALSE(desktop.queryF8Pressed());
}

TEST_F(X11KeyWatching, HeldF8ReadsPressedAtEveryQueryAndIsOnePress) {
    xdotool({QStringLiteral("keydown"), QStringLiteral("F8")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return f8Reports >= 1; }, 5000));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(desktop.queryF8Pressed()) << "query " << i;
    xdotool({QStringLiteral("keyup"), QStringLiteral("F8")});
    waitUntilEverythingTypedIsSeen();
    EXPECT_FALSE(desktop.queryF8Pressed());
    EXPECT_EQ(f8Reports, 1);
}

TEST_F(X11KeyWatching, OtherKeysAreNotF8) {
    xdotool({QStringLiteral("key"), QStringLiteral("a"), QStringLiteral("F7"), QStringLiteral("F9"),
             QStringLiteral("ctrl+v"), QStringLiteral("Return")});
    xdotool({QStringLiteral("keydown"), QStringLiteral("F9")});
    EXPECT_FALSE(desktop.queryF8Pressed());
    xdotool({QStringLiteral("keyup"), QStringLiteral("F9")});
    waitUntilEverythingTypedIsSeen();
    EXPECT_FALSE(desktop.queryF8Pressed());
    EXPECT_EQ(f8Reports, 0);
}

TEST_F(X11KeyWatching, AltOrSuperHeldDefersThePasteUntilReleased) {
    for (const QString& key : {QStringLiteral("alt"), QStringLiteral("super")}) {
        xdotool({QStringLiteral("keydown"), key});
        EXPECT_EQ(desktop.sendPaste(), InjectResult::Retry) << key.toStdString();
        const int before = modifierReports;
        xdotool({QStringLiteral("keyup"), key});
        // The release is reported, so a deferred press can go out at once.
        ASSERT_TRUE(QTest::qWaitFor([&] { return modifierReports > before; }, 5000));
        EXPECT_EQ(desktop.sendPaste(), InjectResult::Ok) << key.toStdString();
    }
    // Ctrl and Shift do not stop Ctrl+V.
    xdotool({QStringLiteral("keydown"), QStringLiteral("shift")});
    EXPECT_EQ(desktop.sendPaste(), InjectResult::Ok);
    xdotool({QStringLiteral("keyup"), QStringLiteral("shift")});
}
