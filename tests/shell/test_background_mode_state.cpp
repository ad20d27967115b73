#include "shell/background_mode_state.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qlq;

namespace {

// A state machine brought into `mode` through the events a user would produce.
BackgroundModeState in(BackgroundMode mode) {
    BackgroundModeState s;
    switch (mode) {
    case BackgroundMode::Shown:
        break;
    case BackgroundMode::Background:
        s.handle(TrayEvent::Minimised, true);
        break;
    case BackgroundMode::ShownWithIcon:
        s.handle(TrayEvent::Minimised, true);
        s.handle(TrayEvent::IconDoubleClicked);
        break;
    case BackgroundMode::Ended:
        s.handle(TrayEvent::MainWindowClosed);
        break;
    }
    EXPECT_EQ(s.mode(), mode);
    return s;
}

TrayActions acts(std::initializer_list<bool TrayActions::*> flags) {
    TrayActions a;
    for (auto flag : flags)
        a.*flag = true;
    return a;
}

struct Row {
    BackgroundMode from;
    TrayEvent event;
    bool tray;
    BackgroundMode to;
    TrayActions actions;
};

using A = TrayActions;
using M = BackgroundMode;
using E = TrayEvent;

} // namespace

TEST(BackgroundModeState, FollowsTheStateTable) {
    const std::vector<Row> table = {
        // Entering background mode; a second minimise reuses the icon the double-click left.
        {M::Shown, E::Minimised, true, M::Background, acts({&A::showIcon, &A::hideWindow})},
        {M::ShownWithIcon, E::Minimised, true, M::Background, acts({&A::hideWindow})},
        {M::Background, E::Minimised, true, M::Background, {}},
        // No tray: the window stays minimised in the taskbar, nothing is hidden.
        {M::Shown, E::Minimised, false, M::Shown, {}},
        {M::ShownWithIcon, E::Minimised, false, M::ShownWithIcon, {}},
        // Double-click restores with focus and keeps the icon.
        {M::Background, E::IconDoubleClicked, true, M::ShownWithIcon,
         acts({&A::restoreWindow, &A::focusWindow})},
        {M::ShownWithIcon, E::IconDoubleClicked, true, M::ShownWithIcon,
         acts({&A::restoreWindow, &A::focusWindow})},
        {M::Shown, E::IconDoubleClicked, true, M::Shown, {}},
        // Open restores and removes the icon, without a focus call of its own.
        {M::Background, E::OpenChosen, true, M::Shown, acts({&A::restoreWindow, &A::removeIcon})},
        {M::ShownWithIcon, E::OpenChosen, true, M::Shown,
         acts({&A::restoreWindow, &A::removeIcon})},
        {M::Shown, E::OpenChosen, true, M::Shown, {}},
        // Exit saves like closing the window, removes the icon and ends.
        {M::Background, E::ExitChosen, true, M::Ended,
         acts({&A::saveAndClose, &A::removeIcon, &A::quit})},
        {M::ShownWithIcon, E::ExitChosen, true, M::Ended,
         acts({&A::saveAndClose, &A::removeIcon, &A::quit})},
        {M::Shown, E::ExitChosen, true, M::Shown, {}},
        // Closing the main window takes the icon along when there is one.
        {M::Shown, E::MainWindowClosed, true, M::Ended, {}},
        {M::ShownWithIcon, E::MainWindowClosed, true, M::Ended, acts({&A::removeIcon})},
        {M::Background, E::MainWindowClosed, true, M::Ended, acts({&A::removeIcon})},
    };
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Row& row = table[i];
        SCOPED_TRACE(testing::Message() << "row " << i);
        BackgroundModeState s = in(row.from);
        EXPECT_EQ(s.handle(row.event, row.tray), row.actions);
        EXPECT_EQ(s.mode(), row.to);
    }
}

TEST(BackgroundModeState, AfterTheEndNothingHappens) {
    for (E event :
         {E::Minimised, E::IconDoubleClicked, E::OpenChosen, E::ExitChosen, E::MainWindowClosed}) {
        BackgroundModeState s = in(M::Background);
        s.handle(E::ExitChosen);
        EXPECT_EQ(s.handle(event, true), TrayActions{});
        EXPECT_EQ(s.mode(), M::Ended);
        EXPECT_FALSE(s.iconShown());
    }
}

TEST(BackgroundModeState, OneIconThroughRepeatedMinimiseAndRestore) {
    BackgroundModeState s;
    int icons = 0;
    auto run = [&](E event, bool tray = true) {
        const TrayActions a = s.handle(event, tray);
        icons += a.showIcon ? 1 : 0;
        icons -= a.removeIcon ? 1 : 0;
        ASSERT_GE(icons, 0);
        ASSERT_LE(icons, 1);
        EXPECT_EQ(icons == 1, s.iconShown());
    };
    run(E::Minimised);
    run(E::IconDoubleClicked);
    run(E::Minimised);
    run(E::Minimised);
    run(E::IconDoubleClicked);
    run(E::IconDoubleClicked);
    run(E::OpenChosen);
    run(E::Minimised, false); // the tray went away: no icon, window left minimised
    run(E::Minimised);        // a tray again at the next minimise
    run(E::OpenChosen);
    run(E::MainWindowClosed);
    EXPECT_EQ(icons, 0);
}
