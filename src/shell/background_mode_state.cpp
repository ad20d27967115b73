#include "shell/background_mode_state.h"

namespace qlq {

TrayActions BackgroundModeState::handle(TrayEvent event, bool trayAvailable) {
    TrayActions act;
    if (mode_ == BackgroundMode::Ended)
        return act;

    switch (event) {
    case TrayEvent::Minimised:
        if (mode_ == BackgroundMode::Background || !trayAvailable)
            return act;
        // An icon left over from a double-click is reused: never a second one.
        act.showIcon = mode_ == BackgroundMode::Shown;
        act.hideWindow = true;
        mode_ = BackgroundMode::Background;
        return act;

    case TrayEvent::IconDoubleClicked:
        if (!iconShown())
            return act;
        act.restoreWindow = true;
        act.focusWindow = true;
        mode_ = BackgroundMode::ShownWithIcon;
        return act;

    case TrayEvent::OpenChosen:
        if (!iconShown())
            return act;
        act.restoreWindow = true;
        act.removeIcon = true;
        mode_ = BackgroundMode::Shown;
        return act;

    case TrayEvent::ExitChosen:
        if (!iconShown())
            return act;
        act.saveAndClose = true;
        act.removeIcon = true;
        act.quit = true;
        mode_ = BackgroundMode::Ended;
        return act;

    case TrayEvent::TrayLost:
        // A hidden window without an icon could never be brought back.
        if (!iconShown())
            return act;
        act.restoreWindow = mode_ == BackgroundMode::Background;
        act.removeIcon = true;
        mode_ = BackgroundMode::Shown;
        return act;

    case TrayEvent::MainWindowClosed:
        act.removeIcon = iconShown();
        mode_ = BackgroundMode::Ended;
        return act;
    }
    return act;
}

} // namespace qlq
