#include "windows/splash_window.h"

#include "config/web_addresses.h"
#include "support/program_fixture.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>

using namespace qlq;
using namespace std::chrono_literals;

using SplashWindowTest = ProgramFixture;

TEST_F(SplashWindowTest, AClickOpensTheHomePageAndTheSplashHandsOverOnceAfterItsFullTime) {
    program = std::make_unique<Program>(desktop, DataPaths(dir.path()));
    QPointer<SplashWindow> splash;
    bool goneAtHandOver = false;
    int handOvers = 0;
    auto handOver = [&] {
        ++handOvers;
        goneAtHandOver = splash.isNull();
        for (QWidget* w : QApplication::topLevelWidgets())
            goneAtHandOver &= w->objectName() != QStringLiteral("Form3");
        program->showMainWindow();
    };
    splash = new SplashWindow(desktop, handOver, 300ms);
    QElapsedTimer clock;
    clock.start();
    splash->load();
    splash->show();
    QApplication::processEvents();
    QTest::mouseClick(child(*splash, "Image1"), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseClick(child(*splash, "Image1"), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(desktop.calls(), QStringList{"open:" + homePageUrl().toString(QUrl::FullyEncoded)});

    ASSERT_TRUE(QTest::qWaitFor([&] { return handOvers > 0; }, 10000));
    EXPECT_GE(clock.elapsed(), 300) << "handed over before its time";
    EXPECT_TRUE(goneAtHandOver);
    ASSERT_NE(mainWindow(), nullptr);
    EXPECT_TRUE(mainWindow()->isVisible());
    QTest::qWait(400); // one tick only: the timer went with its window
    EXPECT_EQ(handOvers, 1);
}
