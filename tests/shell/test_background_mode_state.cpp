#include "shell/background_mode_state.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qlq;
using A = TrayActions;
using M = BackgroundMode;
using E = TrayEvent;

namespace {

// A state machine brought into `mode` through the events a user would produce.
BackgroundModeState in(M mode) {
    BackgroundModeState s;
    if (mode != M::Shown)
        s.handle(E::Minimised, true);
    if (mode == M::ShownWithIcon)
        s.handle(E::IconDoubleClicked);
    if (mode == M::Ended)
        s.handle(E::ExitChosen);
    EXPECT_EQ(s.mode(), mode);
    return s;
}

A acts(std::initializer_list<bool A::*> flags) {
    A a;
    for (auto flag : flags)
        a.*flag = true;
    return a;
}

} // namespace

TEST(BackgroundModeState, FollowsTheStateTable) {
    struct Row {
        M from;
        E event;
        bool tray;
        M to;
        A actions;
    };
    std::vector<Row> table = {
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
    for (E event :
         {E::Minimised, E::IconDoubleClicked, E::OpenChosen, E::ExitChosen, E::MainWindowClosed})
        table.push_back({M::Ended, event, true, M::Ended, {}}); // after the end nothing happens
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Row& row = table[i];
        SCOPED_TRACE(testing::Message() << "row " << i);
        BackgroundModeState s = in(row.from);
        EXPECT_EQ(s.handle(row.event, row.tray), row.actions);
        EXPECT_EQ(s.mode(), row.to);
        // One icon, there exactly while in the tray or shown from it: showIcon never doubles it.
        EXPECT_EQ(s.iconShown(), row.to == M::Background || row.to == M::ShownWithIcon);
    }
}
