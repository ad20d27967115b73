#include "platform/x11/x11_desktop.h"

#include "config/log_categories.h"
#include "platform/x11/x11_clipboard_owner.h"
#include "platform/x11/x11_key_watcher.h"
#include "platform/x11/x11_press_connection.h"
#include "platform/x11/x11_shell.h"
#include "platform/x11/x11_typist.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>

namespace qlq {

QByteArray qtDisplayName() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->display())
        return DisplayString(x11->display());
    return qgetenv("DISPLAY");
}

void prepareX11Threads() {
    XInitThreads();
}

X11Desktop::X11Desktop() {
    const QByteArray display = qtDisplayName();
    shell_ = std::make_unique<X11Shell>(display);
    watcher_ = std::make_unique<X11KeyWatcher>(display.constData());
    connection_ = std::make_unique<X11PressConnection>(display);
    X11KeyWatcher* watcher = watcher_.get();
    clipboard_ = std::make_unique<X11ClipboardOwner>(*connection_,
                                                     [watcher] { return watcher->serverTime(); });
    typist_ = std::make_unique<X11Typist>(*connection_, *watcher_);
    connection_->run([this](const xcb_generic_event_t& event) { clipboard_->handleEvent(event); },
                     [this] { clipboard_->handleTimeout(); });
    // The watcher reads the keymap's changes before every paste; the keys are looked up again
    // before the paste goes out.
    X11Typist* typist = typist_.get();
    watcher_->setMappingChangedHandler([typist] {
        qCInfo(log::desktop, "keyboard mapping changed: looking the keys up again");
        typist->resolveKeycodes();
    });
    shell_->setOwnClipboardText([this] { return clipboard_->ownText(); });
    assemble({watcher_.get()}, *clipboard_, *typist_);
}

X11Desktop::~X11Desktop() {
    disassemble();
    shell_->setOwnClipboardText({});
    // A browser may still be fetching the text of the last press; leaving now would leave its
    // request unanswered, and some browsers then stop taking input for minutes.
    clipboard_->serveBeforeExit(std::chrono::milliseconds(kServeClipboardAtExitMs));
    connection_.reset(); // its thread ends before the parts it calls go
}

ShellServices& X11Desktop::shell() {
    return *shell_;
}

} // namespace qlq
