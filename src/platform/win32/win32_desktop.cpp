#include "platform/win32/win32_desktop.h"

#include "config/log_categories.h"
#include "platform/win32/win32_key_watcher.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QStandardPaths>

#include <windows.h>

namespace qlq {
namespace {

// Ctrl plus one key, by virtual key: the same keys in every keyboard layout.
InjectResult sendCtrlPlus(WORD virtualKey) {
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
    if (sent != 4) {
        // Blocked by another desktop or a program running with higher rights.
        qCInfo(log::desktop, "SendInput typed %u of 4 key events (error %lu)", sent,
               GetLastError());
        return InjectResult::Failed;
    }
    return InjectResult::Ok;
}

} // namespace

Win32Desktop::Win32Desktop() : watcher_(std::make_unique<Win32KeyWatcher>()) {}

Win32Desktop::~Win32Desktop() = default;

std::optional<QString> Win32Desktop::keyboardProblem() const {
    // Without the hook the 500 ms poll still sees every press.
    return std::nullopt;
}

bool Win32Desktop::queryF8Pressed() {
    return watcher_->queryF8Pressed();
}

void Win32Desktop::setKeyActivityHandler(std::function<void(KeyActivity)> handler) {
    watcher_->setHandler(std::move(handler));
}

bool Win32Desktop::setClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    // Another program holding the clipboard open makes the set fail; Qt only warns. Qt's
    // ownership test asks the system whether our data is the clipboard's now.
    const bool held = clipboard->ownsClipboard();
    if (!held)
        qCInfo(log::desktop, "the clipboard was busy; the text could not be put on it");
    return held;
}

void Win32Desktop::readClipboardText(std::function<void(std::optional<QString>)> done) {
    done(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
}

InjectResult Win32Desktop::sendPaste() {
    // With Alt or a Windows key held, Ctrl+V would not paste but a later Ctrl+Enter would send.
    if (watcher_->pasteBlockingModifierDown())
        return InjectResult::Retry;
    // Another program's hot key on F8 takes its WM_KEYDOWN, not the keyboard: no need to wait.
    const InjectResult result = sendCtrlPlus('V');
    lastPasteTyped_ = result == InjectResult::Ok;
    logPasteSent(watcher_->lastF8Seen());
    return result;
}

InjectResult Win32Desktop::sendSubmit() {
    if (!lastPasteTyped_)
        return InjectResult::Failed;
    return sendCtrlPlus(VK_RETURN);
}

void Win32Desktop::openUrl(const QUrl& url) {
    const std::wstring address = url.toString(QUrl::FullyEncoded).toStdWString();
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

QString Win32Desktop::userDataDirectory() const {
    // Roaming: the user's tails follow them to another computer of the same domain.
    const QString roaming = qEnvironmentVariable("APPDATA");
    const QString base = roaming.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                             : QDir::fromNativeSeparators(roaming);
    return base + QStringLiteral("/qinglanque");
}

void Win32Desktop::setTrayAvailabilityHandler(std::function<void(bool)>) {
    // Windows has a notification area for as long as there is a desktop; when Explorer starts
    // again, Qt puts the icon back by itself.
}

} // namespace qlq
