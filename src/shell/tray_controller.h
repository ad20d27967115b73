#pragma once

#include "shell/background_mode_state.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>

class QMenu;

namespace qlq {

class ShellServices;
class MainWindow;

// Background mode: minimising the main window puts it into the notification area, the icon and
// its menu bring it back or end the program. Watches the main window (whose child it becomes)
// through an event filter and its signals; the decisions are BackgroundModeState's.
class TrayController : public QObject {
    Q_OBJECT
public:
    TrayController(MainWindow& mainWindow, ShellServices& shell);
    ~TrayController() override;

    BackgroundMode mode() const { return state_.mode(); }
    // Where the window stood when it was last seen not minimised (frame position).
    QPoint savedPosition() const { return saved_; }
    QSystemTrayIcon& icon() { return *icon_; }
    QMenu& menu() { return *menu_; }

    // "后台运行".
    void runInBackground();
    // A start with --background: the window, loaded but never shown, goes into the tray.
    void startInBackground();
    // Tray input as the icon and its menu deliver it.
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void openChosen();
    void exitChosen();

signals:
    // The exit item was chosen: the options are saved and the icon is gone; end the program.
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenu();
    void handle(TrayEvent event);
    void apply(const TrayActions& actions);
    void restoreWindow();

    // A plain QWidget pointer: the event filter compares it while ~QWidget runs, when the
    // object is no MainWindow any more.
    QPointer<QWidget> window_;
    ShellServices& shell_;
    BackgroundModeState state_;
    QPoint saved_;
    std::unique_ptr<QMenu> menu_; // a popup of its own, not a child of the hidden window
    QSystemTrayIcon* icon_ = nullptr;
};

} // namespace qlq
