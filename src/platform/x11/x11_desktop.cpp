#include "platform/x11/x11_desktop.h"

#include "platform/x11/x11_clipboard_reader.h"
#include "platform/x11/x11_key_injector.h"
#include "platform/x11/x11_key_watcher.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include <X11/Xlib.h>

namespace qlq {

void prepareX11Threads() {
    XInitThreads();
}

X11Desktop::X11Desktop()
    : watcher_(std::make_unique<X11KeyWatcher>()),
      injector_(std::make_unique<X11KeyInjector>(watcher_->display())),
      clipboardReader_(std::make_unique<X11ClipboardReader>()) {}

X11Desktop::~X11Desktop() {
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

bool X11Desktop::keyboardAvailable() const {
    return watcher_->isOpen() && injector_->isAvailable();
}

bool X11Desktop::queryF8Pressed() {
    return watcher_->queryF8Pressed();
}

void X11Desktop::setKeyActivityHandler(std::function<void(KeyActivity)> handler) {
    watcher_->setHandler(std::move(handler));
}

bool X11Desktop::setClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    // Qt only warns when the X server refused the ownership; ask whether we hold it.
    return clipboard->ownsClipboard();
}

void X11Desktop::readClipboardText(std::function<void(std::optional<QString>)> done) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsClipboard()) {
        done(clipboard->text(QClipboard::Clipboard));
        return;
    }
    clipboardReader_->read(std::move(done));
}

InjectResult X11Desktop::sendPaste() {
    // With Alt or Super held, Ctrl+V would not paste but a later Ctrl+Enter would still send.
    if (watcher_->pasteBlockingModifierDown())
        return InjectResult::Retry;
    return injector_->sendCtrlPlus(injector_->pasteKeycode());
}

InjectResult X11Desktop::sendSubmit() {
    return injector_->sendCtrlPlus(injector_->enterKeycode());
}

void X11Desktop::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

QString X11Desktop::programDirectory() const {
    return QCoreApplication::applicationDirPath();
}

QString X11Desktop::userDataDirectory() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/qinglanque");
}

QCursor X11Desktop::linkCursor() const {
    return QCursor(Qt::PointingHandCursor);
}

void X11Desktop::showMessage(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool X11Desktop::systemTrayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace qlq
