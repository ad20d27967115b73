#include "platform/x11/x11_shell.h"

#include "config/log_categories.h"
#include "platform/x11/x11_clipboard_reader.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTimer>

namespace qlq {

X11Shell::X11Shell(const QByteArray& displayName)
    : clipboardReader_(std::make_unique<X11ClipboardReader>(displayName)) {
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

X11Shell::~X11Shell() = default;

void X11Shell::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

std::optional<QString> X11Shell::userDataDirectory() const {
    // The XDG rules: a relative XDG_DATA_HOME counts as unset. Qt would make "/" the home when
    // HOME is unset and put the files under /.local/share.
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.startsWith(QLatin1Char('/')))
        return dataHome + QStringLiteral("/qinglanque");
    const QString home = qEnvironmentVariable("HOME");
    if (home.startsWith(QLatin1Char('/')))
        return home + QStringLiteral("/.local/share/qinglanque");
    return std::nullopt;
}

void X11Shell::setTrayAvailabilityHandler(std::function<void(bool)> handler) {
    trayHandler_ = std::move(handler);
}

bool X11Shell::trayDeliversDoubleClicks() const {
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

void X11Shell::readClipboardText(std::function<void(std::optional<QString>)> done) {
    if (ownText_) {
        if (std::optional<QString> text = ownText_()) {
            done(std::move(text));
            return;
        }
    }
    if (qtHoldsClipboard()) {
        done(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
        return;
    }
    clipboardReader_->read(std::move(done));
}

} // namespace qlq
