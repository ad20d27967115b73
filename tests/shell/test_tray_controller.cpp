#include "app/program.h"
#include "shell/main_window_fixture.h"
#include "shell/tray_controller.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace qlq;

namespace {

const QByteArray kOptions = "[t1]\r\nt=old\r\n[peizhi]\r\nCheck1=0\r\nCheck2=0\r\nweiba=0\r\n";

QIcon someIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkCyan);
    return QIcon(pixmap);
}

struct TrayControllerTest : MainWindowFixture {
    TrayController* tray = nullptr; // a child of the window

    void SetUp() override {
        dir.write(QStringLiteral("qinglanque.ini"), "first\r\nsecond\r\n");
        dir.write(QStringLiteral("corvane.ini"), kOptions);
        window = std::make_unique<MainWindow>(desktop, DataPaths(dir.path()), random);
        window->setWindowIcon(someIcon());
        tray = new TrayController(*window, desktop);
        window->load();
        window->show();
        window->move(140, 90);
        QCoreApplication::processEvents();
    }
    void minimise() {
        window->showMinimized();
        QCoreApplication::processEvents();
    }
    void doubleClickIcon() { // what Qt reports for a double-click on the icon
        emit tray->icon().activated(QSystemTrayIcon::Trigger);
        emit tray->icon().activated(QSystemTrayIcon::DoubleClick);
        QCoreApplication::processEvents();
    }
    void choose(const char* item) {
        QAction* action = tray->menu().findChild<QAction*>(QString::fromLatin1(item));
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
        QCoreApplication::processEvents();
    }
    bool inBackground() const {
        return tray->mode() == BackgroundMode::Background && tray->icon().isVisible() &&
               window->isHidden();
    }
    bool shownAt(QPoint where, BackgroundMode mode) const {
        return window->isVisible() && !window->isMinimized() && window->pos() == where &&
               tray->mode() == mode && tray->icon().isVisible() == (mode != BackgroundMode::Shown);
    }
};

} // namespace

TEST_F(TrayControllerTest, MinimiseOrButtonHidesIntoTheTrayAndDoubleClickOrOpenRestores) {
    EXPECT_FALSE(tray->icon().isVisible()); // no icon before the first minimise
    minimise();
    EXPECT_TRUE(inBackground() && window->isMinimized());
    EXPECT_FALSE(tray->icon().icon().isNull());
    EXPECT_EQ(tray->icon().toolTip(), QStringLiteral("已最小化到托盘"));
    const QList<QAction*> items = tray->menu().actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("打开[青岚雀贴吧小尾巴 ]"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("退出[青岚雀贴吧小尾巴 ]"));
    EXPECT_TRUE(window->engine().isRunning()); // F8 keeps inserting while hidden
    EXPECT_EQ(pressF8(), lead("first"));
    EXPECT_EQ(desktop.calls().value(1), QStringLiteral("paste"));

    choose("F01");
    EXPECT_TRUE(shownAt(QPoint(140, 90), BackgroundMode::Shown));
    child<QPushButton>("Command3")->click(); // 后台运行
    QCoreApplication::processEvents();
    EXPECT_TRUE(inBackground());
    window->move(0, 0); // moved while hidden: no position to come back to
    emit tray->icon().activated(QSystemTrayIcon::Trigger); // a single click does nothing
    QCoreApplication::processEvents();
    EXPECT_TRUE(inBackground());
    doubleClickIcon();
    EXPECT_TRUE(shownAt(QPoint(140, 90), BackgroundMode::ShownWithIcon));
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 5000));

    window->move(200, 120); // moved while shown: the next restore comes back there
    minimise();
    EXPECT_TRUE(inBackground());
    doubleClickIcon();
    EXPECT_TRUE(shownAt(QPoint(200, 120), BackgroundMode::ShownWithIcon));
    choose("F01");
    EXPECT_TRUE(shownAt(QPoint(200, 120), BackgroundMode::Shown));
}

TEST_F(TrayControllerTest, AStatusNotifierTrayRestoresOnASingleClick) {
    desktop.setTrayDoubleClicks(false); // KDE, AppIndicator: every click is one Trigger
    minimise();
    emit tray->icon().activated(QSystemTrayIcon::Trigger);
    QCoreApplication::processEvents();
    EXPECT_TRUE(shownAt(QPoint(140, 90), BackgroundMode::ShownWithIcon));
}

TEST_F(TrayControllerTest, WithoutATrayTheWindowStaysMinimisedInTheTaskbar) {
    desktop.setTrayAvailable(false);
    minimise();
    EXPECT_TRUE(window->isMinimized() && !window->isHidden());
    EXPECT_FALSE(tray->icon().isVisible());
    EXPECT_EQ(tray->mode(), BackgroundMode::Shown);
    window->showNormal();
    child<QPushButton>("Command3")->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isMinimized() && !window->isHidden());
    EXPECT_FALSE(tray->icon().isVisible());

    // A tray that appears later is used at the next minimise.
    window->showNormal();
    desktop.setTrayAvailable(true);
    minimise();
    EXPECT_TRUE(inBackground());
}

TEST_F(TrayControllerTest, WhenTheTrayGoesAwayTheHiddenWindowComesBack) {
    minimise();
    ASSERT_TRUE(inBackground());
    desktop.setTrayAvailable(false); // the tray host died
    EXPECT_TRUE(shownAt(QPoint(140, 90), BackgroundMode::Shown));
}

TEST_F(TrayControllerTest, ClosingTheMainWindowRemovesTheIcon) {
    minimise();
    doubleClickIcon();
    QSignalSpy quit(tray, &TrayController::quitRequested);
    window->close();
    EXPECT_FALSE(tray->icon().isVisible());
    EXPECT_EQ(tray->mode(), BackgroundMode::Ended);
    EXPECT_EQ(quit.count(), 0); // the program's lifetime decides, not the tray
}

namespace {

// Counts (and swallows) the requests to leave the event loop.
struct QuitWatch : QObject {
    int quits = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::Quit && ++quits > 0;
    }
};

// The whole program, its lifetime and the tray together, with another window open.
struct ProgramTrayTest : ::testing::Test {
    TempProgramDir dir;
    FakeDesktop desktop{dir.path()};
    std::unique_ptr<Program> program;
    TrayController* tray = nullptr;
    QWidget other;

    void SetUp() override {
        dir.write(QStringLiteral("corvane.ini"), kOptions);
        QApplication::setWindowIcon(someIcon()); // the program sets its own at start
        program = std::make_unique<Program>(desktop, DataPaths(dir.path()));
        program->showMainWindow();
        tray = program->mainWindow()->findChild<TrayController*>();
        ASSERT_NE(tray, nullptr);
        other.show();
        program->mainWindow()->showMinimized();
        QCoreApplication::processEvents();
        ASSERT_TRUE(program->mainWindow()->isHidden());
        ASSERT_TRUE(other.isVisible() && !other.isMinimized()); // never touched
    }
    void TearDown() override { QApplication::setQuitOnLastWindowClosed(true); }

    // Runs the event loop for `step` and what it posts; true when the program asked to end.
    bool quitDuring(const std::function<void()>& step) {
        QuitWatch watch;
        qApp->installEventFilter(&watch);
        QTimer::singleShot(0, [step] {
            step();
            QTimer::singleShot(0, [] {
                QCoreApplication::sendPostedEvents(); // a pending quit shows up here
                QCoreApplication::exit(42);
            });
        });
        const int result = QApplication::exec();
        qApp->removeEventFilter(&watch);
        return result != 42 || watch.quits > 0;
    }
};

} // namespace

TEST_F(ProgramTrayTest, ClosingAnotherWindowWhileInTheTrayKeepsRunning) {
    EXPECT_FALSE(quitDuring([this] { other.close(); }));
    ASSERT_NE(program->mainWindow(), nullptr);
    EXPECT_EQ(tray->mode(), BackgroundMode::Background);
}

#ifdef Q_OS_UNIX
TEST_F(ProgramTrayTest, SigtermSavesTheOptionsAsClosingTheWindowDoesAndEnds) {
    program->endWithTheSession();
    program->mainWindow()->findChild<QCheckBox*>("Check2")->setChecked(true);
    QTimer giveUp;
    giveUp.callOnTimeout([] { QCoreApplication::exit(42); });
    giveUp.start(5000);
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    EXPECT_EQ(QApplication::exec(), 0) << "the program did not end";
    EXPECT_EQ(dir.read("corvane.ini"),
              "[t1]\r\nt=old\r\n[peizhi]\r\nCheck1=0\r\nCheck2=1\r\nweiba=0\r\n");
}
#endif

TEST(ProgramStart, InTheBackgroundTheWindowWaitsInTheTrayOrMinimisedAndComesForward) {
    for (const bool trayAvailable : {true, false}) {
        TempProgramDir dir;
        FakeDesktop desktop{dir.path()};
        desktop.setTrayAvailable(trayAvailable);
        Program program(desktop, DataPaths(dir.path()));
        program.showMainWindow(true);
        QCoreApplication::processEvents();
        MainWindow* window = program.mainWindow();
        auto* tray = window->findChild<TrayController*>();
        if (trayAvailable)
            EXPECT_TRUE(window->isHidden() && tray->icon().isVisible());
        else
            EXPECT_TRUE(window->isMinimized() && window->isVisible());
        program.bringForward(); // a second start
        QCoreApplication::processEvents();
        EXPECT_TRUE(window->isVisible() && !window->isMinimized()) << trayAvailable;
        EXPECT_FALSE(tray->icon().isVisible());
    }
    QApplication::setQuitOnLastWindowClosed(true);
}

TEST_F(ProgramTrayTest, ExitWritesTheOptionsThenEndsTheProgramWhileOtherWindowsAreOpen) {
    program->mainWindow()->findChild<QLineEdit*>("Text5")->setText(QStringLiteral("小尾巴"));
    program->mainWindow()->findChild<QCheckBox*>("Check1")->setChecked(true);
    QByteArray atQuit;
    QObject::connect(tray, &TrayController::quitRequested, [&] {
        atQuit = tray->icon().isVisible() ? "icon still shown" : dir.read("corvane.ini");
    });
    EXPECT_TRUE(quitDuring([this] { tray->menu().findChild<QAction*>("F02")->trigger(); }));
    EXPECT_EQ(
        atQuit,
        "[t1]\r\nt=\xD0\xA1\xCE\xB2\xB0\xCD\r\n[peizhi]\r\nCheck1=1\r\nCheck2=0\r\nweiba=0\r\n");
}
