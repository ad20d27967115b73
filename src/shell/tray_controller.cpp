#include "shell/tray_controller.h"

#include "platform/shell_services.h"
#include "shell/main_window.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QWindowStateChangeEvent>

namespace qlq {

TrayController::TrayController(MainWindow& mainWindow, ShellServices& shell)
    : QObject(&mainWindow), window_(&mainWindow), shell_(shell), saved_(mainWindow.pos()) {
    setObjectName(QStringLiteral("TrayController"));
    createMenu();
    icon_ = new QSystemTrayIcon(this);
    icon_->setToolTip(QStringLiteral("已最小化到托盘"));
    // Shows F00 when the right button is used on the icon.
    icon_->setContextMenu(menu_.get());
    connect(icon_, &QSystemTrayIcon::activated, this, &TrayController::iconActivated);

    connect(&mainWindow, &MainWindow::backgroundRequested, this, &TrayController::runInBackground);
    connect(&mainWindow, &MainWindow::unloaded, this,
            [this] { handle(TrayEvent::MainWindowClosed); });
    mainWindow.installEventFilter(this);
    shell_.setTrayAvailabilityHandler([this](bool available) {
        if (!available)
            handle(TrayEvent::TrayLost);
    });
}

TrayController::~TrayController() {
    shell_.setTrayAvailabilityHandler({});
}

void TrayController::createMenu() {
    menu_ = std::make_unique<QMenu>();
    menu_->setObjectName(QStringLiteral("F00"));
    menu_->setTitle(QStringLiteral("青岚雀贴吧小尾巴"));
    QAction* open = menu_->addAction(QStringLiteral("打开[青岚雀贴吧小尾巴 ]"));
    open->setObjectName(QStringLiteral("F01"));
    QAction* exit = menu_->addAction(QStringLiteral("退出[青岚雀贴吧小尾巴 ]"));
    exit->setObjectName(QStringLiteral("F02"));
    connect(open, &QAction::triggered, this, &TrayController::openChosen);
    connect(exit, &QAction::triggered, this, &TrayController::exitChosen);
}

void TrayController::iconActivated(QSystemTrayIcon::ActivationReason reason) {
    // A double-click arrives as Trigger then DoubleClick; a single click does nothing. A
    // StatusNotifier tray (KDE, AppIndicator) reports any click as one Trigger and never a
    // double-click: there the Trigger is the way back.
    if (reason == QSystemTrayIcon::DoubleClick ||
        (reason == QSystemTrayIcon::Trigger && !shell_.trayDeliversDoubleClicks()))
        handle(TrayEvent::IconDoubleClicked);
}

void TrayController::runInBackground() {
    if (!window_)
        return;
    // Straight into the tray: asking the window manager to iconify first would leave the window
    // marked to start iconic, and the restore could then bring it back minimised.
    if (shell_.systemTrayAvailable())
        handle(TrayEvent::Minimised);
    else
        window_->showMinimized(); // no tray: the taskbar keeps a way back
}

void TrayController::startInBackground() {
    if (!window_)
        return;
    // Where the window would have opened is where it comes back.
    saved_ = window_->pos();
    runInBackground();
}

void TrayController::openChosen() {
    handle(TrayEvent::OpenChosen);
}

void TrayController::exitChosen() {
    handle(TrayEvent::ExitChosen);
}

bool TrayController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            // A hidden window's position is the window manager's business, not the user's.
            if (!window_->isMinimized() && window_->isVisible())
                saved_ = window_->pos();
            break;
        case QEvent::WindowStateChange: {
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            if (window_->isMinimized() && !(change->oldState() & Qt::WindowMinimized)) {
                // showMinimized() shows the window right after this event: hide it later.
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        if (window_ && window_->isMinimized())
                            handle(TrayEvent::Minimised);
                    },
                    Qt::QueuedConnection);
            }
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TrayController::handle(TrayEvent event) {
    // Asked at every minimise: a tray may come or go while the program runs.
    const bool trayAvailable = event != TrayEvent::Minimised || shell_.systemTrayAvailable();
    apply(state_.handle(event, trayAvailable));
}

void TrayController::apply(const TrayActions& actions) {
    if (actions.saveAndClose && window_)
        window_->close(); // its unload saves the options, exactly as the close box does
    if (actions.showIcon) {
        if (window_)
            icon_->setIcon(window_->windowIcon());
        icon_->show();
    }
    if (actions.hideWindow && window_)
        window_->hide(); // leaves the screen and the taskbar; the engine keeps running
    if (actions.restoreWindow && window_)
        restoreWindow();
    if (actions.focusWindow && window_) {
        QWidget* target = window_->focusWidget() ? window_->focusWidget() : window_.data();
        target->setFocus(Qt::ActiveWindowFocusReason);
    }
    if (actions.removeIcon)
        icon_->hide();
    if (actions.quit)
        emit quitRequested();
}

void TrayController::restoreWindow() {
    // Showing may report an interim position (the window manager's placement) before the move.
    const QPoint target = saved_;
    window_->showNormal();
    window_->move(target);
    window_->raise();
    window_->activateWindow();
}

} // namespace qlq
