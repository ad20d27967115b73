#include "platform/win32/win32_desktop.h"

#include "config/log_categories.h"
#include "platform/common/paste_latency.h"
#include "platform/win32/win32_key_watcher.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QStandardPaths>

#include <windows.h>

namespace qlq {
namespace {

// Ctrl plus one key, by virtual key: the same keys in every keyboard layout. Returns why not all
// of them went out, or nothing.
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
    if (sent != 4) {
        // Blocked by another desktop or a program running with higher rights.
        return QStringLiteral("SendInput typed %1 of 4 key events (error %2)")
            .arg(sent)
            .arg(GetLastError());
    }
    return std::nullopt;
}

} // namespace

// SendInput by virtual key; Alt or a Windows key held holds the paste back.
class Win32Typist : public Typist {
public:
    explicit Win32Typist(Win32KeyWatcher& watcher) : watcher_(watcher) {}

    std::optional<QString> problem() const override { return std::nullopt; }
    std::optional<QString> holdBack() override {
        // With Alt or a Windows key held, Ctrl+V would not paste but a later Ctrl+Enter would
        // send. Another program's hot key on F8 takes its WM_KEYDOWN, not the keyboard: no need
        // to wait for that.
        if (watcher_.pasteBlockingModifierDown())
            return QStringLiteral("Alt or a Windows key is held");
        return std::nullopt;
    }
    Typed paste() override {
        if (std::optional<QString> failed = typeCtrlPlus('V'))
            return {false, false, *failed};
        logPasteLatency(watcher_.lastF8Seen());
        return {true, true, QString()};
    }
    Typed submit() override {
        if (std::optional<QString> failed = typeCtrlPlus(VK_RETURN))
            return {false, false, *failed};
        return {true, true, QString()};
    }

private:
    Win32KeyWatcher& watcher_;
};

// The clipboard through Qt, which owns it until another program takes it.
class Win32ClipboardWriter : public ClipboardWriter {
public:
    Take take(const QString& text) override {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(text, QClipboard::Clipboard);
        // Another program holding the clipboard open makes the set fail; Qt only warns. Qt's
        // ownership test asks the system whether our data is the clipboard's now.
        if (!clipboard->ownsClipboard())
            return {Take::Outcome::Refused,
                    QStringLiteral("the clipboard was busy; the text could not be put on it")};
        return {};
    }
    std::optional<QString> confirm() override { return std::nullopt; }
    void whenSettled(std::function<void(std::optional<QString>)> verdict) override {
        verdict(std::nullopt);
    }
    void setSettledHandler(std::function<void()>) override {}
};

void Win32Shell::openUrl(const QUrl& url) {
    const std::wstring address = url.toString(QUrl::FullyEncoded).toStdWString();
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::optional<QString> Win32Shell::userDataDirectory() const {
    // Roaming: the user's tails follow them to another computer of the same domain.
    const QString roaming = qEnvironmentVariable("APPDATA");
    const QString base = roaming.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                             : QDir::fromNativeSeparators(roaming);
    return base + QStringLiteral("/qinglanque");
}

void Win32Shell::setTrayAvailabilityHandler(std::function<void(bool)>) {
    // Windows has a notification area for as long as there is a desktop; when Explorer starts
    // again, Qt puts the icon back by itself.
}

void Win32Shell::readClipboardText(std::function<void(std::optional<QString>)> done) {
    done(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
}

Win32Desktop::Win32Desktop()
    : watcher_(std::make_unique<Win32KeyWatcher>()),
      typist_(std::make_unique<Win32Typist>(*watcher_)),
      clipboard_(std::make_unique<Win32ClipboardWriter>()) {
    assemble({watcher_.get()}, *clipboard_, *typist_);
}

Win32Desktop::~Win32Desktop() {
    disassemble();
}

} // namespace qlq
