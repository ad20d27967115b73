#pragma once

#include "platform/desktop_services.h"

#include <memory>

namespace qlq {

class Win32KeyWatcher;

// The Windows desktop: F8 watched by GetAsyncKeyState and a hook that only looks, the
// shortcuts typed with SendInput by virtual key, QClipboard for the clipboard.
class Win32Desktop : public DesktopServices {
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
    QString programDirectory() const override;
    QString userDataDirectory() const override;
    QCursor linkCursor() const override;
    void showMessage(QWidget* parent, const QString& title, const QString& text) override;
    bool systemTrayAvailable() const override;

private:
    std::unique_ptr<Win32KeyWatcher> watcher_;
};

} // namespace qlq
