#include "shell/main_window_names.h"
#include "shell/tray_controller.h"
#include "support/program_fixture.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>

using namespace qlq;
namespace names = main_window_names;

namespace {

// The program with its tray, the main window shown at (140, 90).
struct TrayTest : ProgramFixture {
    TrayController* tray = nullptr; // a child of the main window

    void SetUp() override {
        QPixmap pixmap(16, 16); // the program sets its own icon at start
        pixmap.fill(Qt::darkCyan);
        QApplication::setWindowIcon(QIcon(pixmap));
    }
    void open(bool inBackground = false) {
        start("first\r\nsecond\r\n", inBackground);
        tray = mainWindow()->findChild<TrayController*>();
        ASSERT_NE(tray, nullptr);
        if (!inBackground)
            mainWindow()->move(140, 90);
        settle();
    }
    void minimise() {
        mainWindow()->showMinimized();
        settle();
    }
    void click(QSystemTrayIcon::ActivationReason reason) {
        emit tray->icon().activated(reason);
        settle();
    }
    void doubleClickIcon() { // what Qt reports for a double-click on the icon
        emit tray->icon().activated(QSystemTrayIcon::Trigger);
        click(QSystemTrayIcon::DoubleClick);
    }
    void choose(const char* item) {
        child<QAction>(tray->menu(), item)->trigger();
        settle();
    }
    bool inBackground() const {
        return tray->mode() == BackgroundMode::Background && tray->icon().isVisible() &&
               mainWindow()->isHidden();
    }
    bool shownAt(QPoint where, BackgroundMode mode) const {
        const MainWindow* window = mainWindow();
        return window->isVisible() && !window->isMinimized() && window->pos() == where &&
               tray->mode() == mode && tray->icon().isVisible() == (mode != BackgroundMode::Shown);
    }
};

} // namespace

TEST_F(TrayTest, MinimiseOrButtonHidesIntoTheTrayAndDoubleClickOrOpenRestores) {
    open();
    EXPECT_FALSE(tray->icon().isVisible()); // no icon before the first minimise
    minimise();
    EXPECT_TRUE(inBackground() && mainWindow()->isMinimized());
    EXPECT_FALSE(tray->icon().icon().isNull());
    pressF8(); // F8 keeps inserting while hidden
    EXPECT_EQ(desktop.calls(), QStringList({"clipboard:" + lead("first"), "paste"}));

    choose("F01");
    EXPECT_TRUE(shownAt(QPoint(140, 90), BackgroundMode::Shown));
    child<QPushButton>(*mainWindow(), names::kBackground)->click(); // 后台运行
    settle();
    EXPECT_TRUE(inBackground());
    mainWindow()->move(0, 0);        // moved while hidden: no position to come back to
    click(QSystemTrayIcon::Trigger); // a single click does nothing
    EXPECT_TRUE(inBackground());
    doubleClickIcon(); // activation and a window moved while shown: the end-to-end tray test
    EXPECT_TRUE(shownAt(QPoint(140, 90), BackgroundMode::ShownWithIcon));

    desktop.setTrayDoubleClicks(false); // KDE, AppIndicator: every click is one Trigger
    minimise();
    click(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(shownAt(QPoint(140, 90), BackgroundMode::ShownWithIcon));
}

TEST_F(TrayTest, WithoutATrayTheWindowStaysWithinReach) {
    desktop.setTrayAvailable(false);
    open();
    minimise();
    EXPECT_TRUE(mainWindow()->isMinimized() && !mainWindow()->isHidden());
    mainWindow()->showNormal();
    child<QPushButton>(*mainWindow(), names::kBackground)->click();
    settle();
    EXPECT_TRUE(mainWindow()->isMinimized() && !mainWindow()->isHidden());
    EXPECT_FALSE(tray->icon().isVisible());
    EXPECT_EQ(tray->mode(), BackgroundMode::Shown);

    // A tray that appears later is used at the next minimise; when it goes, the window is back.
    mainWindow()->showNormal();
    desktop.setTrayAvailable(true);
    minimise();
    ASSERT_TRUE(inBackground());
    desktop.setTrayAvailable(false); // the tray host died
    EXPECT_TRUE(shownAt(QPoint(140, 90), BackgroundMode::Shown));
}

TEST_F(TrayTest, ClosingAnotherWindowKeepsRunningAndClosingTheMainWindowRemovesTheIcon) {
    QWidget other;
    other.show();
    open();
    minimise();
    EXPECT_FALSE(asksToQuit([&] { other.close(); }));
    EXPECT_TRUE(inBackground());
    doubleClickIcon();
    QSignalSpy quit(tray, &TrayController::quitRequested);
    mainWindow()->close();
    EXPECT_FALSE(tray->icon().isVisible());
    EXPECT_EQ(tray->mode(), BackgroundMode::Ended);
    EXPECT_EQ(quit.count(), 0); // the program's lifetime decides, not the tray
}

TEST_F(TrayTest, InTheBackgroundTheWindowWaitsInTheTrayOrMinimisedAndComesForward) {
    for (const bool trayAvailable : {true, false}) {
        desktop.setTrayAvailable(trayAvailable);
        open(true);
        if (trayAvailable)
            EXPECT_TRUE(mainWindow()->isHidden() && tray->icon().isVisible());
        else
            EXPECT_TRUE(mainWindow()->isMinimized() && mainWindow()->isVisible());
        program->bringForward(); // a second start
        settle();
        EXPECT_TRUE(mainWindow()->isVisible() && !mainWindow()->isMinimized()) << trayAvailable;
        EXPECT_FALSE(tray->icon().isVisible());
    }
}
