// What the Windows keyboard hook reports, under Wine.
#include "platform/win32/win32_key_watcher.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <windows.h>

using namespace qlq;

TEST(Win32KeyWatcher, AHeldF8IsOnePressAndAReleasedModifierWakesAHeldPaste) {
    Win32KeyWatcher watcher;
    std::vector<KeyActivity> seen;
    watcher.setHandler([&](KeyActivity activity) { seen.push_back(activity); });
    for (int repeat = 0; repeat < 3; ++repeat) // a held key repeats its key-down
        watcher.observeKey(VK_F8, true);
    watcher.observeKey(VK_F8, false);
    watcher.observeKey(VK_F8, true);
    watcher.observeKey('A', false);
    watcher.observeKey(VK_LMENU, false);
    QCoreApplication::processEvents(); // reports reach the handler from the event loop
    EXPECT_EQ(seen, (std::vector{KeyActivity::F8Pressed, KeyActivity::F8Pressed,
                                 KeyActivity::HoldEnded}));
}
