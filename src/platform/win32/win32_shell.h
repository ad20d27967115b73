#pragma once

#include "platform/common/qt_shell.h"

namespace qlq {

// The Windows shell: ShellExecute for web pages, the roaming data folder, Qt's clipboard for
// reading.
class Win32Shell : public QtShell {
public:
    void openUrl(const QUrl& url) override;
    std::optional<QString> userDataDirectory() const override;
    void setTrayAvailabilityHandler(std::function<void(bool)> handler) override;
    void readClipboardText(std::function<void(std::optional<QString>)> done) override;
};

} // namespace qlq
