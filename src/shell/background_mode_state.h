#pragma once

namespace qlq {

// Where the main window stands with respect to the notification-area icon.
enum class BackgroundMode {
    Shown,         // visible (or minimised in the taskbar when there is no tray), no icon
    Background,    // minimised and hidden, the icon in the tray
    ShownWithIcon, // visible again after a double-click; the icon stays
    Ended,         // the main window was closed or the program left through the tray menu
};

enum class TrayEvent {
    Minimised,         // title-bar button or "后台运行"
    IconDoubleClicked, // left double-click on the icon
    OpenChosen,        // F01
    ExitChosen,        // F02
    MainWindowClosed,  // the main window's unload has run
    TrayLost,          // the notification area went away, and the icon with it
};

// What the window and the icon have to do for one event, in this order.
struct TrayActions {
    bool saveAndClose = false; // run the main window's unload (saves the options)
    bool showIcon = false;
    bool hideWindow = false;
    bool restoreWindow = false; // normal state, visible, back at the recorded position, active
    bool focusWindow = false;
    bool removeIcon = false;
    bool quit = false;

    bool operator==(const TrayActions&) const = default;
};

// The background-mode state table, free of windows so that every transition can be tested.
class BackgroundModeState {
public:
    BackgroundMode mode() const { return mode_; }
    bool iconShown() const {
        return mode_ == BackgroundMode::Background || mode_ == BackgroundMode::ShownWithIcon;
    }

    // Moves to the next state and says what to do. `trayAvailable` matters for Minimised only:
    // without a tray the window stays minimised in the taskbar, since a hidden window with no
    // icon could never be brought back.
    TrayActions handle(TrayEvent event, bool trayAvailable = true);

private:
    BackgroundMode mode_ = BackgroundMode::Shown;
};

} // namespace qlq
