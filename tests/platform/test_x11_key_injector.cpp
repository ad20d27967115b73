// Ctrl+V and Ctrl+Enter into a focused Qt line edit on a private Xvfb: keyboard layouts switched
// with setxkbmap, another client's grab of F8, the display Qt is on.
#include "x11_test_tools.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace qlq;

namespace {

struct X11Injection : X11DesktopTest {
    QLineEdit box;

    void SetUp() override {
        X11DesktopTest::SetUp();
        box.show();
        box.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    }
    bool pasted() {
        return QTest::qWaitFor([this] { return box.text() == QStringLiteral("粘贴"); }, 5000);
    }
};

} // namespace

TEST_F(X11Injection, CtrlVFollowsTheLayoutAndCtrlEnterGoesOnlyAfterACertainPaste) {
    for (const char* layout : {"us", "dvorak"}) { // dvorak puts K where us has V
        runTool("setxkbmap", {QString::fromLatin1(layout)});
        box.clear();
        const DeliveryResult sent = deliver(true);
        ASSERT_EQ(sent.outcome, DeliveryResult::Outcome::Sent);
        EXPECT_TRUE(pasted()) << layout;
        EXPECT_EQ(sent.submitWithheld, std::nullopt) << layout;
    }
    runTool("setxkbmap", {"ru"}); // no V at all: Ctrl+V goes out on V's place, Ctrl+Enter not
    const DeliveryResult sent = deliver(true);
    EXPECT_EQ(sent.outcome, DeliveryResult::Outcome::Sent);
    EXPECT_NE(sent.submitWithheld, std::nullopt);
}

TEST_F(X11Injection, WhileAnotherProgramHoldsF8ThePasteWaitsForItsRelease) {
    Display* other = XOpenDisplay(nullptr); // a program with a global F8 shortcut
    ASSERT_NE(other, nullptr);
    XGrabKey(other, XKeysymToKeycode(other, XK_F8), AnyModifier, DefaultRootWindow(other), True,
             GrabModeAsync, GrabModeAsync);
    XSync(other, False);

    xdotool({"keydown", "F8"}); // seen although the other program grabs it
    ASSERT_TRUE(QTest::qWaitFor([this] { return f8Reports == 1; }, 5000));
    // The keys would go to the grabber: every attempt waits.
    EXPECT_EQ(deliver().outcome, DeliveryResult::Outcome::HeldBack);
    EXPECT_EQ(deliver().outcome, DeliveryResult::Outcome::HeldBack);
    xdotool({"keyup", "F8"});
    ASSERT_TRUE(QTest::qWaitFor([this] { return modifierReports >= 1; }, 5000));
    EXPECT_EQ(deliver().outcome, DeliveryResult::Outcome::Sent);
    EXPECT_TRUE(pasted());
    XCloseDisplay(other);

    // Without a grabber, the trial grab made while F8 is down is let go before the keys go out.
    xdotool({"keydown", "F8"});
    ASSERT_TRUE(QTest::qWaitFor([this] { return f8Reports == 2; }, 5000));
    box.clear();
    EXPECT_EQ(deliver().outcome, DeliveryResult::Outcome::Sent);
    EXPECT_TRUE(pasted());
    xdotool({"keyup", "F8"});
}

TEST(X11Desktop, WatchesTheDisplayQtIsOnWhateverDisplaySays) {
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":4095"); // -display took Qt elsewhere
    X11Desktop desktop;
    qputenv("DISPLAY", display);
    EXPECT_EQ(desktop.pressPath().problem(), std::nullopt);
    xdotool({"key", "F8"});
    EXPECT_TRUE(desktop.pressPath().queryF8Pressed());
}

TEST(X11Desktop, AMessageBoxIsWideEnoughForItsTitle) {
    X11Desktop desktop;
    const QString title = QStringLiteral("青岚雀贴吧小尾巴");
    int width = 0;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        width = box ? box->width() : 0;
        if (box)
            box->close();
    });
    desktop.shell().showMessage(nullptr, title, QStringLiteral("1"));
    // The title bar also holds an icon and three buttons.
    EXPECT_GE(width, QFontMetrics(QApplication::font()).horizontalAdvance(title) + 150);
}
