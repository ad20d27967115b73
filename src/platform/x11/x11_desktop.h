#pragma once

#include "platform/common/qt_desktop.h"

#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace qlq {

class X11KeyWatcher;
class X11KeyInjector;
class X11ClipboardReader;

// Must run before any other Xlib call: the clipboard reader uses Xlib from a worker thread.
void prepareX11Threads();

// The X11 desktop: XInput2 raw key events watch F8 without taking it from anyone, XTest types
// the shortcuts, QClipboard owns the clipboard.
class X11Desktop : public QtDesktop {
public:
    static constexpr int kServeClipboardAtExitMs = 200;

    X11Desktop();
    ~X11Desktop() override;

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
    bool trayDeliversDoubleClicks() const override;

private:
    std::unique_ptr<X11KeyWatcher> watcher_;
    std::unique_ptr<X11KeyInjector> injector_;
    std::unique_ptr<X11ClipboardReader> clipboardReader_;
    std::unique_ptr<QTimer> trayRelay_;
    std::function<void(bool)> trayHandler_;
    // Found while the clipboard was set with F8 down; the next paste attempt takes it.
    std::optional<bool> grabbedElsewhereAtSet_;
};

} // namespace qlq
