#include "windows/splash_window.h"

#include "app/program.h"
#include "config/web_addresses.h"
#include "platform/fake/fake_desktop.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
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

} // namespace

TEST(SplashWindow, HandsOverOnceAfterItsDelayAndIsGoneBeforeTheMainWindowShows) {
    TempProgramDir dir;
    FakeDesktop desktop(dir.path(), dir.path());
    Program program(desktop, DataPaths::resolve(dir.path(), dir.path()));
    QPointer<SplashWindow> splash;
    bool goneAtHandOver = false;
    int handOvers = 0;
    auto handOver = [&] {
        ++handOvers;
        goneAtHandOver = splash.isNull();
        for (QWidget* w : QApplication::topLevelWidgets())
            goneAtHandOver &= w->objectName() != QStringLiteral("Form3");
        program.showMainWindow();
    };
    splash = new SplashWindow(desktop, handOver, 150ms);
    QElapsedTimer clock;
    clock.start();
    splash->load();
    splash->show();

    ASSERT_TRUE(QTest::qWaitFor([&] { return handOvers > 0; }, 10000));
    EXPECT_GE(clock.elapsed(), 150) << "handed over before its time";
    EXPECT_TRUE(goneAtHandOver);
    ASSERT_NE(program.mainWindow(), nullptr);
    EXPECT_TRUE(program.mainWindow()->isVisible());
    QTest::qWait(300); // one tick only: the timer went with its window
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

    EXPECT_EQ(desktop.calls(), QStringList{"open:" + homePageUrl().toString(QUrl::FullyEncoded)});
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(handOvers, 0);
    EXPECT_GT(splash.findChild<QTimer*>(QStringLiteral("Timer1"))->remainingTime(), 50000);
}

TEST(SplashWindow, ThreeSecondsRunFromLoadBeforeTheWindowShows) {
    FakeDesktop desktop;
    SplashWindow splash(desktop, {});
    splash.load();
    const auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer1"));
    EXPECT_TRUE(timer->isActive() && timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 3000);
}
