#include "platform/win32/win32_key_watcher.h"

#include "config/log_categories.h"

#include <windows.h>

namespace qlq {
namespace {

// The hook has no context argument; one watcher exists at a time.
Win32KeyWatcher* watcher = nullptr;

LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && watcher) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        watcher->observeKey(key->vkCode, message == WM_KEYDOWN || message == WM_SYSKEYDOWN);
    }
    // Always passed on: F8 belongs to the program the user types in.
    return CallNextHookEx(nullptr, code, message, data);
}

bool isBlockingModifier(unsigned long virtualKey) {
    switch (virtualKey) {
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
        return true;
    default:
        return false;
    }
}

} // namespace

Win32KeyWatcher::Win32KeyWatcher() {
    watcher = this;
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, GetModuleHandleW(nullptr), 0);
    if (!hook_)
        qCWarning(log::desktop, "no keyboard hook (error %lu): F8 is seen at the next poll only",
                  GetLastError());
}

Win32KeyWatcher::~Win32KeyWatcher() {
    if (hook_)
        UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
    watcher = nullptr;
}

bool Win32KeyWatcher::queryF8Pressed() {
    return GetAsyncKeyState(VK_F8) != 0;
}

bool Win32KeyWatcher::pasteBlockingModifierDown() const {
    for (int key : {VK_MENU, VK_LWIN, VK_RWIN}) {
        if (GetAsyncKeyState(key) & 0x8000)
            return true;
    }
    return false;
}

void Win32KeyWatcher::observeKey(unsigned long virtualKey, bool down) {
    if (virtualKey == VK_F8) {
        // A held key repeats its key-down; only the first one is a press.
        if (down && !f8Down_) {
            lastF8Seen_ = Clock::now();
            report(KeyActivity::F8Pressed);
        }
        f8Down_ = down;
    } else if (!down && isBlockingModifier(virtualKey)) {
        report(KeyActivity::HoldEnded);
    }
}

void Win32KeyWatcher::report(KeyActivity activity) {
    // The hook must return quickly, and typing from inside it would reach no one: the engine
    // runs from the event loop.
    QMetaObject::invokeMethod(
        this,
        [this, activity] {
            if (handler_)
                handler_(activity);
        },
        Qt::QueuedConnection);
}

} // namespace qlq
