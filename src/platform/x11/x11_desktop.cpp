#include "platform/x11/x11_desktop.h"

#include "config/log_categories.h"
#include "platform/x11/x11_clipboard_reader.h"
#include "platform/x11/x11_key_injector.h"
#include "platform/x11/x11_key_watcher.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <utility>

namespace qlq {
namespace {

QNativeInterface::QX11Application* qtX11() {
    return qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
}

// The display Qt's windows are on: -display moves them, and F8 must be watched there too.
QByteArray qtDisplayName() {
    QNativeInterface::QX11Application* x11 = qtX11();
    if (x11 && x11->display())
        return DisplayString(x11->display());
    return qgetenv("DISPLAY");
}

xcb_atom_t clipboardAtom(xcb_connection_t* connection) {
    static xcb_atom_t atom = XCB_NONE; // the same for the server's whole life
    if (atom == XCB_NONE) {
        static constexpr char kName[] = "CLIPBOARD";
        if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
                connection, xcb_intern_atom(connection, 0, sizeof(kName) - 1, kName), nullptr)) {
            atom = reply->atom;
            std::free(reply);
        }
    }
    return atom;
}

// Asks the server which window owns CLIPBOARD; the answer is read by qtHoldsClipboard, so that
// other requests can travel meanwhile.
struct ClipboardOwnerQuestion {
    xcb_connection_t* connection = nullptr;
    xcb_get_selection_owner_cookie_t cookie{};
    bool asked = false;
};

ClipboardOwnerQuestion askClipboardOwner() {
    QNativeInterface::QX11Application* x11 = qtX11();
    ClipboardOwnerQuestion question;
    question.connection = x11 ? x11->connection() : nullptr;
    if (!question.connection)
        return question;
    if (const xcb_atom_t atom = clipboardAtom(question.connection); atom != XCB_NONE) {
        question.cookie = xcb_get_selection_owner(question.connection, atom);
        question.asked = true;
        xcb_flush(question.connection);
    }
    return question;
}

// Whether a window of Qt's own X connection owns CLIPBOARD, by the server's answer. Qt's
// ownsClipboard() is not enough: when another program took the clipboard a moment ago and Qt
// has not yet seen the event, the server refuses Qt's older timestamp, Qt only prints a warning
// and goes on claiming ownership, and Ctrl+V would paste the other program's text.
bool qtHoldsClipboard(const ClipboardOwnerQuestion& question) {
    if (!question.connection)
        return QGuiApplication::clipboard()->ownsClipboard();
    if (!question.asked)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(question.connection, question.cookie, nullptr);
    if (!owner)
        return false;
    // Every resource a client creates carries that client's id base.
    const xcb_setup_t* setup = xcb_get_setup(question.connection);
    const bool ours = owner->owner != XCB_NONE &&
                      (owner->owner & ~setup->resource_id_mask) == setup->resource_id_base;
    std::free(owner);
    return ours;
}

bool qtHoldsClipboard() {
    return qtHoldsClipboard(askClipboardOwner());
}

// Whether another program holds the keyboard, so that typed keys would go to it: a trial grab
// of our own fails then. Asking and reading are apart, so that the round trip can overlap
// another.
xcb_grab_keyboard_cookie_t askTrialGrab(Display* display,
                                        xcb_get_input_focus_cookie_t focusQuestion) {
    xcb_connection_t* keys = XGetXCBConnection(display);
    xcb_window_t focus = XCB_NONE;
    if (xcb_get_input_focus_reply_t* reply =
            xcb_get_input_focus_reply(keys, focusQuestion, nullptr)) {
        focus = reply->focus;
        std::free(reply);
    }
    // A trial grab on the focus window itself moves the focus nowhere, so the focused program
    // sees no focus events.
    const xcb_window_t on = focus != XCB_NONE && focus != XCB_INPUT_FOCUS_POINTER_ROOT
                                ? focus
                                : DefaultRootWindow(display);
    const xcb_grab_keyboard_cookie_t cookie =
        xcb_grab_keyboard(keys, 0, on, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_flush(keys);
    return cookie;
}

bool trialGrabFailed(Display* display, xcb_grab_keyboard_cookie_t grabQuestion) {
    xcb_connection_t* keys = XGetXCBConnection(display);
    xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(keys, grabQuestion, nullptr);
    const uint8_t status = reply ? reply->status : uint8_t{XCB_GRAB_STATUS_SUCCESS};
    std::free(reply);
    if (status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_keyboard(keys, XCB_CURRENT_TIME);
        xcb_flush(keys);
    }
    return status == XCB_GRAB_STATUS_ALREADY_GRABBED || status == XCB_GRAB_STATUS_FROZEN;
}

bool keyboardGrabbedElsewhere(Display* display) {
    return trialGrabFailed(display,
                           askTrialGrab(display, xcb_get_input_focus(XGetXCBConnection(display))));
}

} // namespace

void prepareX11Threads() {
    XInitThreads();
}

X11Desktop::X11Desktop()
    : watcher_(std::make_unique<X11KeyWatcher>(qtDisplayName().constData())),
      injector_(std::make_unique<X11KeyInjector>(watcher_->display())),
      clipboardReader_(std::make_unique<X11ClipboardReader>(qtDisplayName())) {
    watcher_->setMappingChangedHandler([this] {
        qCInfo(log::desktop, "keyboard mapping changed: looking the keys up again");
        injector_->resolveKeycodes();
    });

    // Qt's X11 platform announces the tray host's coming and going through a signal of its
    // native interface, which has no public type: a zero-time timer relays it to a functor, one
    // turn of the event loop later, after Qt's own tray icon has handled it.
    trayRelay_ = std::make_unique<QTimer>();
    trayRelay_->setSingleShot(true);
    trayRelay_->setInterval(0);
    QObject::connect(trayRelay_.get(), &QTimer::timeout, [this] {
        const bool available = systemTrayAvailable();
        qCInfo(log::desktop, "the notification area %s", available ? "is there" : "went away");
        if (trayHandler_)
            trayHandler_(available);
    });
    // QPlatformNativeInterface derives from QObject alone.
    if (auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface()))
        QObject::connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), trayRelay_.get(),
                         SLOT(start()));
}

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

std::optional<QString> X11Desktop::keyboardProblem() const {
    if (std::optional<QString> problem = watcher_->problem())
        return problem;
    if (!injector_->isAvailable())
        return QStringLiteral("显示服务器没有 XTest 扩展，无法模拟按键");
    return std::nullopt;
}

bool X11Desktop::queryF8Pressed() {
    return watcher_->queryF8Pressed();
}

void X11Desktop::setKeyActivityHandler(std::function<void(KeyActivity)> handler) {
    watcher_->setHandler(std::move(handler));
}

bool X11Desktop::setClipboardText(const QString& text) {
    // While F8 is down the paste must first know whether another program holds the keyboard.
    // Those questions go out now, on the watcher's connection, and are answered while Qt takes
    // the clipboard on its own: the press waits for two round trips instead of four.
    std::optional<xcb_get_input_focus_cookie_t> focusQuestion;
    if (watcher_->f8Down()) { // never without the watcher's display
        xcb_connection_t* keys = XGetXCBConnection(watcher_->display());
        focusQuestion = xcb_get_input_focus(keys);
        xcb_flush(keys);
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    // Qt only warns when the X server refused the ownership; ask the server whether we hold it.
    const ClipboardOwnerQuestion ownerQuestion = askClipboardOwner();
    std::optional<xcb_grab_keyboard_cookie_t> grabQuestion;
    if (focusQuestion)
        grabQuestion = askTrialGrab(watcher_->display(), *focusQuestion);
    const bool held = qtHoldsClipboard(ownerQuestion);
    if (grabQuestion)
        grabbedElsewhereAtSet_ = trialGrabFailed(watcher_->display(), *grabQuestion);
    if (!held)
        qCInfo(log::desktop, "the X server gave the clipboard to another program");
    return held;
}

void X11Desktop::readClipboardText(std::function<void(std::optional<QString>)> done) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (qtHoldsClipboard()) {
        done(clipboard->text(QClipboard::Clipboard));
        return;
    }
    clipboardReader_->read(std::move(done));
}

InjectResult X11Desktop::sendPaste() {
    // What the clipboard's setting found out holds for this attempt only.
    const std::optional<bool> grabbedAtSet = std::exchange(grabbedElsewhereAtSet_, std::nullopt);
    // With Alt or Super held, Ctrl+V would not paste but a later Ctrl+Enter would still send.
    if (watcher_->pasteBlockingModifierDown())
        return InjectResult::Retry;
    // Another program's global F8 shortcut holds the keyboard while F8 is down, and the keys
    // would go to that program: wait for F8's release.
    if (watcher_->f8Down() &&
        (grabbedAtSet ? *grabbedAtSet : keyboardGrabbedElsewhere(watcher_->display()))) {
        qCDebug(log::desktop,
                "paste deferred: another program holds the keyboard while F8 is down");
        return InjectResult::Retry;
    }
    const InjectResult result = injector_->sendPaste();
    logPasteSent(watcher_->lastF8Seen());
    return result;
}

InjectResult X11Desktop::sendSubmit() {
    return injector_->sendSubmit();
}

void X11Desktop::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

QString X11Desktop::userDataDirectory() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/qinglanque");
}

void X11Desktop::setTrayAvailabilityHandler(std::function<void(bool)> handler) {
    trayHandler_ = std::move(handler);
}

bool X11Desktop::trayDeliversDoubleClicks() const {
    // Qt talks to a StatusNotifier host when one is registered on the session bus (the same test
    // Qt makes), and to an XEmbed tray otherwise; only the XEmbed tray reports double-clicks.
    static const bool statusNotifier = [] {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
        if (!bus.isConnected() || !bus.interface() ||
            !bus.interface()->isServiceRegistered(watcher).value())
            return false;
        QDBusInterface properties(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
        return properties.property("IsStatusNotifierHostRegistered").toBool();
    }();
    if (statusNotifier)
        qCDebug(log::desktop, "StatusNotifier tray: a click on the icon restores the window");
    return !statusNotifier;
}

} // namespace qlq
