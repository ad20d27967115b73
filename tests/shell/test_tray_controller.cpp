#include "app/program.h"
#include "data/data_paths.h"
#include "data/settings_store.h"
#include "insert/next_random.h"
#include "platform/fake/fake_desktop.h"
#include "shell/main_window.h"
#include "shell/tray_controller.h"
#include "support/temp_dir.h"

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

#include <gtest/gtest.h>

#include <memory>

using namespace qlq;

namespace {

const QByteArray kOptions = "[t1]\r\nt=old\r\n[peizhi]\r\nCheck1=0\r\nCheck2=0\r\nweiba=0\r\n";

QIcon someIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkCyan);
    return QIcon(pixmap);
}

class TrayControllerTest : public testing::Test {
protected:
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
    void doubleClickIcon() {
        // What Qt reports for a double-click on the icon.
        emit tray->icon().activated(QSystemTrayIcon::Trigger);
        emit tray->icon().activated(QSystemTrayIcon::DoubleClick);
        QCoreApplication::processEvents();
    }
    void choose(const char* item) {
        auto* action = tray->menu().findChild<QAction*>(QString::fromLatin1(item));
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
        QCoreApplication::processEvents();
    }
    bool inBackground() const {
        return tray->mode() == BackgroundMode::Background && tray->icon().isVisible() &&
               window->isHidden();
    }
    bool shownAt(QPoint where) const {
        return window->isVisible() && !window->isMinimized() && window->pos() == where;
    }

    TempProgramDir dir;
    FakeDesktop desktop{dir.path()};
    NextRandom random;
    std::unique_ptr<MainWindow> window;
    TrayController* tray = nullptr; // a child of the window
};

} // namespace

TEST_F(TrayControllerTest, TheIconAndItsMenuCarryTheDesignedTexts) {
    EXPECT_EQ(tray->icon().toolTip(), QStringLiteral("已最小化到托盘"));
    EXPECT_EQ(tray->icon().contextMenu(), &tray->menu());
    EXPECT_EQ(tray->menu().objectName(), QStringLiteral("F00"));
    EXPECT_EQ(tray->menu().title(), QStringLiteral("青岚雀贴吧小尾巴"));
    const QList<QAction*> items = tray->menu().actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("F01"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("打开[青岚雀贴吧小尾巴 ]"));
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("F02"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("退出[青岚雀贴吧小尾巴 ]"));
    EXPECT_FALSE(tray->icon().isVisible()); // no icon before the first minimise
}

TEST_F(TrayControllerTest, MinimisingByTitleBarOrButtonHidesIntoTheTray) {
    minimise();
    EXPECT_TRUE(inBackground());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(tray->icon().icon().isNull());
    EXPECT_EQ(tray->savedPosition(), QPoint(140, 90));

    choose("F01");
    ASSERT_TRUE(shownAt(QPoint(140, 90)));
    window->findChild<QPushButton*>(QStringLiteral("Command3"))->click(); // 后台运行
    QCoreApplication::processEvents();
    EXPECT_TRUE(inBackground());
}

TEST_F(TrayControllerTest, DoubleClickRestoresInPlaceAndKeepsTheIcon) {
    minimise();
    // The window was moved while minimised: that is no position to come back to.
    window->move(0, 0);
    emit tray->icon().activated(QSystemTrayIcon::Trigger); // a single click
    QCoreApplication::processEvents();
    EXPECT_TRUE(inBackground());

    doubleClickIcon();
    EXPECT_TRUE(shownAt(QPoint(140, 90)));
    EXPECT_TRUE(tray->icon().isVisible());
    EXPECT_EQ(tray->mode(), BackgroundMode::ShownWithIcon);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 5000));

    // Moved while shown: the next restore comes back there.
    window->move(200, 120);
    minimise();
    EXPECT_TRUE(inBackground());
    doubleClickIcon();
    EXPECT_TRUE(shownAt(QPoint(200, 120)));
}

TEST_F(TrayControllerTest, OpenRestoresAndRemovesTheIconFromEitherIconState) {
    minimise();
    choose("F01");
    EXPECT_TRUE(shownAt(QPoint(140, 90)));
    EXPECT_FALSE(tray->icon().isVisible());
    EXPECT_EQ(tray->mode(), BackgroundMode::Shown);

    minimise();
    doubleClickIcon();
    choose("F01");
    EXPECT_TRUE(shownAt(QPoint(140, 90)));
    EXPECT_FALSE(tray->icon().isVisible());
    EXPECT_EQ(tray->mode(), BackgroundMode::Shown);
}

TEST_F(TrayControllerTest, WithoutATrayTheWindowStaysMinimisedInTheTaskbar) {
    desktop.setTrayAvailable(false);
    minimise();
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(window->isHidden());
    EXPECT_FALSE(tray->icon().isVisible());
    EXPECT_EQ(tray->mode(), BackgroundMode::Shown);

    window->showNormal();
    window->findChild<QPushButton*>(QStringLiteral("Command3"))->click(); // 后台运行
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(window->isHidden());
    EXPECT_FALSE(tray->icon().isVisible());

    // A tray that appears later is used at the next minimise.
    window->showNormal();
    desktop.setTrayAvailable(true);
    minimise();
    EXPECT_TRUE(inBackground());
}

TEST_F(TrayControllerTest, F8KeepsInsertingWhileHidden) {
    minimise();
    ASSERT_TRUE(inBackground());
    EXPECT_TRUE(window->engine().timer().isActive());
    desktop.clearCalls();
    desktop.pressF8();
    window->engine().tick();
    ASSERT_GE(desktop.calls().size(), 2);
    EXPECT_TRUE(desktop.calls()[0].startsWith(QStringLiteral("clipboard:")));
    EXPECT_TRUE(desktop.calls()[0].contains(QStringLiteral("first")));
    EXPECT_EQ(desktop.calls()[1], QStringLiteral("paste"));
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

TEST_F(TrayControllerTest, ExitRunsTheUnloadThenRemovesTheIconThenQuits) {
    minimise();
    QStringList order;
    QObject::connect(window.get(), &MainWindow::unloaded, [&] {
        order << (tray->icon().isVisible() ? QStringLiteral("unloaded with icon")
                                           : QStringLiteral("unloaded"));
    });
    QObject::connect(tray, &TrayController::quitRequested, [&] {
        order << (tray->icon().isVisible() ? QStringLiteral("quit with icon")
                                           : QStringLiteral("quit"));
    });
    choose("F02");
    EXPECT_EQ(order, (QStringList{QStringLiteral("unloaded with icon"), QStringLiteral("quit")}));
    EXPECT_EQ(tray->mode(), BackgroundMode::Ended);
    EXPECT_FALSE(window->isVisible());
}

// Until the options writer lands in this tree it writes nothing; the test then stops short.
TEST_F(TrayControllerTest, ExitWritesTheOptionsLikeClosing) {
    {
        QTemporaryDir probe;
        writeOptions(probe.path() + QStringLiteral("/probe.ini"), StoredOptions{});
        if (!QFile::exists(probe.path() + QStringLiteral("/probe.ini")))
            GTEST_SKIP() << "the options writer is still a placeholder here";
    }
    window->findChild<QLineEdit*>(QStringLiteral("Text5"))->setText(QStringLiteral("小尾巴"));
    window->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
    window->findChild<QCheckBox*>(QStringLiteral("Check2"))->setChecked(false);
    window->findChild<QCheckBox*>(QStringLiteral("Check4"))->setChecked(false);
    minimise();
    choose("F02");
    EXPECT_EQ(dir.read(QStringLiteral("corvane.ini")),
              QByteArray("[t1]\r\nt=\xD0\xA1\xCE\xB2\xB0\xCD\r\n[peizhi]\r\nCheck1=1\r\n"
                         "Check2=0\r\nweiba=0\r\n"));
}

// Counts (and swallows) the requests to leave the event loop.
class QuitWatch : public QObject {
public:
    int quits = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Quit)
            return false;
        ++quits;
        return true;
    }
};

// The whole program: its lifetime and the tray together.
class ProgramTrayTest : public testing::Test {
protected:
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

    // Runs the event loop for `step` and whatever it posts; true when the program asked to end.
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

    TempProgramDir dir;
    FakeDesktop desktop{dir.path()};
    std::unique_ptr<Program> program;
    TrayController* tray = nullptr;
    QWidget other;
};

TEST_F(ProgramTrayTest, ClosingAnotherWindowWhileInTheTrayKeepsRunning) {
    EXPECT_FALSE(quitDuring([this] { other.close(); }));
    ASSERT_NE(program->mainWindow(), nullptr);
    EXPECT_EQ(tray->mode(), BackgroundMode::Background);
}

TEST_F(ProgramTrayTest, ExitEndsTheProgramAtOnceWhileOtherWindowsAreOpen) {
    QAction* exit = tray->menu().findChild<QAction*>(QStringLiteral("F02"));
    ASSERT_NE(exit, nullptr);
    EXPECT_TRUE(quitDuring([exit] { exit->trigger(); }));
}
