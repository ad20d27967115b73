#include "platform/win32/win32_desktop.h"

#include "platform/win32/win32_clipboard_writer.h"
#include "platform/win32/win32_key_watcher.h"
#include "platform/win32/win32_typist.h"

namespace qlq {

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
