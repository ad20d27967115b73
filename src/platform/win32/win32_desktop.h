#pragma once

#include "platform/common/qt_desktop.h"

#include <memory>

namespace qlq {

class Win32KeyWatcher;

// The Windows desktop: F8 watched by GetAsyncKeyState and a hook that only looks, the
// shortcuts typed with SendInput by virtual key, QClipboard for the clipboard.
class Win32Desktop : public QtDesktop {
public:
    Win32Desktop();
    ~Win32Desktop() override;

    std::optional<QString> keyboardProblem() const override;
    bool queryF8Pressed() override;
    void setKeyActivityHandler(std::function<void(KeyActivity)> handler) override;
    bool setClipboardText(const QString& text) override;
    void readClipboardText(std::function<void(std::optional<QString>)> done) override;
    InjectResult sendPaste() override;
    InjectResult sendSubmit() override;
    void openUrl(const QUrl& url) override;
    QString userDataDirectory() const override;
    void setTrayAvailabilityHandler(std::function<void(bool)> handler) override;

private:
    std::unique_ptr<Win32KeyWatcher> watcher_;
    // Ctrl+Enter goes out only after a Ctrl+V that was typed whole.
    bool lastPasteTyped_ = false;
};

} // namespace qlq
