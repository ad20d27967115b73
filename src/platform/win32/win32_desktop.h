#pragma once

#include "platform/desktop.h"
#include "platform/win32/win32_shell.h"

#include <memory>

namespace qlq {

class Win32ClipboardWriter;
class Win32KeyWatcher;
class Win32Typist;

// The Windows desktop: F8 watched by GetAsyncKeyState and a hook that only looks, the clipboard
// set directly, the shortcuts typed with SendInput right behind it.
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
