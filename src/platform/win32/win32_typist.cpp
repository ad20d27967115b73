#include "platform/win32/win32_typist.h"

#include "platform/common/paste_latency.h"
#include "platform/win32/win32_key_watcher.h"

#include <windows.h>

namespace qlq {
namespace {

// Ctrl plus one key. Returns why not all of the key events went out, or nothing.
std::optional<QString> typeCtrlPlus(WORD virtualKey) {
    INPUT inputs[4] = {};
    const WORD keys[4] = {VK_CONTROL, virtualKey, virtualKey, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        // Some programs read the scan code rather than the virtual key.
        inputs[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(keys[i], MAPVK_VK_TO_VSC));
        inputs[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    const UINT sent = SendInput(4, inputs, sizeof(INPUT));
    if (sent != 4) // blocked by another desktop or a program running with higher rights
        return QStringLiteral("SendInput typed %1 of 4 key events (error %2)")
            .arg(sent)
            .arg(GetLastError());
    return std::nullopt;
}

} // namespace

std::optional<QString> Win32Typist::holdBack() {
    // With Alt or a Windows key held, Ctrl+V would not paste but a later Ctrl+Enter would send.
    // Another program's hot key on F8 takes its WM_KEYDOWN, not the keyboard: no need to wait.
    if (watcher_.pasteBlockingModifierDown())
        return QStringLiteral("Alt or a Windows key is held");
    return std::nullopt;
}

Typist::Typed Win32Typist::paste() {
    if (std::optional<QString> failed = typeCtrlPlus('V'))
        return {false, false, *failed};
    logPasteLatency(watcher_.lastF8Seen());
    return {true, true, QString()};
}

Typist::Typed Win32Typist::submit() {
    if (std::optional<QString> failed = typeCtrlPlus(VK_RETURN))
        return {false, false, *failed};
    return {true, true, QString()};
}

} // namespace qlq
