#include "platform/x11/x11_desktop.h"

#include "config/log_categories.h"
#include "platform/x11/x11_clipboard_reader.h"
#include "platform/x11/x11_key_watcher.h"
#include "platform/x11/x11_shell.h"
#include "platform/x11/x11_typist.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>

namespace qlq {
namespace {

constexpr int kServeClipboardAtExitMs = 200;

// The display Qt's windows are on: -display moves them, and F8 must be watched there too.
QByteArray qtDisplayName() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->display())
        return DisplayString(x11->display());
    return qgetenv("DISPLAY");
}

} // namespace

// The clipboard through Qt's own connection.
class X11QtClipboardWriter : public ClipboardWriter {
public:
    Take take(const QString& text) override {
        QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
        // Qt only warns when the X server refused the ownership; ask the server whether we hold
        // it.
        if (!qtHoldsClipboard())
            return {Take::Outcome::Refused,
                    QStringLiteral("the X server gave the clipboard to another program")};
        return {};
    }
    std::optional<QString> confirm() override { return std::nullopt; }
    void whenSettled(std::function<void(std::optional<QString>)> verdict) override {
        verdict(std::nullopt);
    }
    void setSettledHandler(std::function<void()>) override {}
};

void prepareX11Threads() {
    XInitThreads();
}

X11Desktop::X11Desktop()
    : shell_(std::make_unique<X11Shell>(qtDisplayName())),
      watcher_(std::make_unique<X11KeyWatcher>(qtDisplayName().constData())),
      typist_(std::make_unique<X11Typist>(*watcher_)),
      clipboard_(std::make_unique<X11QtClipboardWriter>()) {
    watcher_->setMappingChangedHandler([this] {
        qCInfo(log::desktop, "keyboard mapping changed: looking the keys up again");
        typist_->resolveKeycodes();
    });
    assemble({watcher_.get()}, *clipboard_, *typist_);
}

X11Desktop::~X11Desktop() {
    disassemble();
    // A browser may still be fetching the text of the last press; leaving now would leave its
    // request unanswered, and some browsers then stop taking input for minutes. Serve a little
    // longer while the clipboard is ours.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard && clipboard->ownsClipboard()) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kServeClipboardAtExitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

ShellServices& X11Desktop::shell() {
    return *shell_;
}

} // namespace qlq
