#include "windows/splash_window.h"

#include "app/program.h"
#include "config/web_addresses.h"
#include "platform/fake/fake_desktop.h"
#include "support/temp_dir.h"
#include "windows/wait_for.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qlq;
using namespace std::chrono_literals;

namespace {

QLabel* picture(QWidget& splash) {
    return splash.findChild<QLabel*>(QStringLiteral("Image1"));
}

void send(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointF pos(10, 10);
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

bool showsLinkCursor(QWidget* w) {
    return w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::PointingHandCursor;
}

} // namespace

TEST(SplashWindow, LoadsBorderlessAtItsSizeWithThePictureUnscaled) {
    FakeDesktop desktop;
    SplashWindow splash(desktop, {});
    splash.load();

    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.size(), QSize(445, 300));
    EXPECT_EQ(splash.windowTitle(), QStringLiteral("青岚雀贴吧小尾巴"));
    ASSERT_NE(picture(splash), nullptr);
    EXPECT_EQ(picture(splash)->geometry(), QRect(0, 0, 450, 300));
    EXPECT_FALSE(picture(splash)->hasScaledContents());

    // The three seconds run from load, before anything is shown.
    const auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 3000);
}

TEST(SplashWindow, UnloadsItselfAndThenShowsTheMainWindowOnceItsTimeIsUp) {
    TempProgramDir dir;
    FakeDesktop desktop(dir.path(), dir.path());
    Program program(desktop, DataPaths::resolve(dir.path(), dir.path()));

    QPointer<SplashWindow> splash;
    bool splashGoneAtHandOver = false;
    int handOvers = 0;
    splash = new SplashWindow(
        desktop,
        [&] {
            ++handOvers;
            splashGoneAtHandOver = splash.isNull();
            for (QWidget* w : QApplication::topLevelWidgets())
                splashGoneAtHandOver &= w->objectName() != QStringLiteral("Form3");
            program.showMainWindow();
        },
        150ms);

    QElapsedTimer clock;
    clock.start();
    splash->load();
    splash->show();

    ASSERT_TRUE(waitFor([&] { return handOvers > 0; }));
    EXPECT_GE(clock.elapsed(), 150) << "handed over before its time";
    EXPECT_TRUE(splashGoneAtHandOver) << "the splash must be gone before the main window shows";
    ASSERT_NE(program.mainWindow(), nullptr);
    EXPECT_TRUE(program.mainWindow()->isVisible());

    // One tick only: the timer went with its window.
    QTest::qWait(300);
    EXPECT_EQ(handOvers, 1);
}

TEST(SplashWindow, ClickOpensTheHomePageAndLeavesTheSplashUpForItsFullTime) {
    FakeDesktop desktop;
    int handOvers = 0;
    SplashWindow splash(
        desktop, [&] { ++handOvers; }, 60s);
    splash.load();
    splash.show();
    QApplication::processEvents();

    QTest::mouseClick(picture(splash), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseClick(picture(splash), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    QTest::qWait(200);

    EXPECT_EQ(desktop.calls(),
              QStringList{QStringLiteral("open:") + homePageUrl().toString(QUrl::FullyEncoded)});
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(handOvers, 0);
    const auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer1"));
    EXPECT_TRUE(timer->isActive());
    EXPECT_GT(timer->remainingTime(), 50000) << "a click must not shorten or restart the time";
}

TEST(SplashWindow, LinkCursorFollowsTheButtonRules) {
    FakeDesktop desktop;
    {
        SplashWindow splash(desktop, {}, 60s);
        splash.load();
        QLabel* image = picture(splash);
        EXPECT_FALSE(image->testAttribute(Qt::WA_SetCursor));
        // Right and middle presses, and drags with a button held, leave the pointer alone.
        send(image, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
        send(image, QEvent::MouseMove, Qt::NoButton, Qt::RightButton);
        send(image, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
        send(image, QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton);
        send(image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        EXPECT_FALSE(showsLinkCursor(image));
        send(image, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
        EXPECT_TRUE(showsLinkCursor(image));
    }
    {
        SplashWindow splash(desktop, {}, 60s);
        splash.load();
        send(picture(splash), QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
        EXPECT_TRUE(showsLinkCursor(picture(splash)));
        // Never set back by the program: only the picture carries it, the window does not.
        send(picture(splash), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        EXPECT_TRUE(showsLinkCursor(picture(splash)));
        EXPECT_FALSE(splash.testAttribute(Qt::WA_SetCursor));
    }
}
