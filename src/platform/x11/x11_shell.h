#pragma once

#include "platform/common/qt_shell.h"

#include <QByteArray>

#include <memory>

class QTimer;

namespace qlq {

class X11ClipboardReader;

// The X11 desktop's shell: web pages through the desktop's opener, the XDG data folder, the
// tray's comings and goings as Qt's X11 platform reports them, and a clipboard reader that an
// owner who never answers cannot freeze.
class X11Shell : public QtShell {
public:
    explicit X11Shell(const QByteArray& displayName);
    ~X11Shell() override;

    void openUrl(const QUrl& url) override;
    std::optional<QString> userDataDirectory() const override;
    void setTrayAvailabilityHandler(std::function<void(bool)> handler) override;
    bool trayDeliversDoubleClicks() const override;
    void readClipboardText(std::function<void(std::optional<QString>)> done) override;

    // The text the press path holds on the clipboard, when it does: read without asking anyone.
    void setOwnClipboardText(std::function<std::optional<QString>()> ownText) {
        ownText_ = std::move(ownText);
    }

private:
    std::function<std::optional<QString>()> ownText_;
    std::unique_ptr<X11ClipboardReader> clipboardReader_;
    std::unique_ptr<QTimer> trayRelay_;
    std::function<void(bool)> trayHandler_;
};

} // namespace qlq
