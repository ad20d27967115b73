#pragma once

#include "platform/common/qt_shell.h"
#include "platform/desktop.h"

#include <memory>

namespace qlq {

class Win32KeyWatcher;
class Win32Typist;
class Win32ClipboardWriter;

// The Windows shell: ShellExecute for web pages, the roaming data folder, Qt's clipboard.
class Win32Shell : public QtShell {
public:
    void openUrl(const QUrl& url) override;
    std::optional<QString> userDataDirectory() const override;
    void setTrayAvailabilityHandler(std::function<void(bool)> handler) override;
    void readClipboardText(std::function<void(std::optional<QString>)> done) override;
};

// The Windows desktop: F8 watched by GetAsyncKeyState and a hook that only looks, the
// shortcuts typed with SendInput by virtual key, the clipboard through Qt.
class Win32Desktop : public Desktop {
public:
    Win32Desktop();
    ~Win32Desktop() override;

    ShellServices& shell() override { return shell_; }

private:
    Win32Shell shell_;
    std::unique_ptr<Win32KeyWatcher> watcher_;
    std::unique_ptr<Win32Typist> typist_;
    std::unique_ptr<Win32ClipboardWriter> clipboard_;
};

} // namespace qlq
