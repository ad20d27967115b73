#include "platform/wayland/wayland_session_desktop.h"

#include "config/build_config.h"
#include "config/log_categories.h"
#include "platform/wayland/data_control_clipboard.h"
#include "platform/wayland/insert_binding.h"
#include "platform/wayland/portal.h"
#include "platform/wayland/portal_shortcut.h"
#include "platform/wayland/press_router.h"
#include "platform/wayland/remote_desktop_typist.h"
#include "platform/wayland/virtual_keyboard_typist.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_session.h"
#include "platform/x11/x11_clipboard_owner.h"
#include "platform/x11/x11_desktop.h"
#include "platform/x11/x11_key_watcher.h"
#include "platform/x11/x11_press_connection.h"
#include "platform/x11/x11_shell.h"
#include "platform/x11/x11_typist.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>

namespace qlq {
namespace {

constexpr int kPortalQueryTimeoutMs = 2000;

} // namespace

// The X11 clipboard for a Ctrl+V that does not go through XTest: that paste cannot leave in the
// clipboard's flush, so the take is made sure of (a round trip) before the keys go.
class WaylandSessionDesktop::CommittedX11Clipboard : public ClipboardWriter {
public:
    explicit CommittedX11Clipboard(ClipboardWriter& clipboard) : clipboard_(clipboard) {}

    std::optional<QString> problem() const override { return clipboard_.problem(); }
    Take take(const QString& text) override {
        Take take = clipboard_.take(text);
        if (take.outcome == Take::Outcome::Ready) {
            if (std::optional<QString> lost = clipboard_.confirm())
                return {Take::Outcome::Refused, *lost};
        }
        return take;
    }
    std::optional<QString> confirm() override { return clipboard_.confirm(); }
    void whenSettled(std::function<void(std::optional<QString>)> verdict) override {
        clipboard_.whenSettled(std::move(verdict));
    }
    void setSettledHandler(std::function<void()> handler) override {
        clipboard_.setSettledHandler(std::move(handler));
    }

private:
    ClipboardWriter& clipboard_;
};

WaylandSessionDesktop::WaylandSessionDesktop() {
    // XWayland windows: the X11 desktop's parts, unchanged.
    const QByteArray display = qtDisplayName();
    shell_ = std::make_unique<X11Shell>(display);
    watcher_ = std::make_unique<X11KeyWatcher>(display.constData());
    x11Connection_ = std::make_unique<X11PressConnection>(display);
    X11KeyWatcher* watcher = watcher_.get();
    x11Clipboard_ = std::make_unique<X11ClipboardOwner>(
        *x11Connection_, [watcher] { return watcher->serverTime(); });
    x11Typist_ = std::make_unique<X11Typist>(*x11Connection_, *watcher_);
    x11Connection_->run(
        [this](const xcb_generic_event_t& event) { x11Clipboard_->handleEvent(event); },
        [this] { x11Clipboard_->handleTimeout(); });
    X11Typist* x11Typist = x11Typist_.get();
    watcher_->setMappingChangedHandler([x11Typist] {
        qCInfo(log::desktop, "keyboard mapping changed: looking the keys up again");
        x11Typist->resolveKeycodes();
    });

    // Native windows: what the session offers.
    SessionOffer offer;
    wayland_ = WaylandConnection::open();
    if (wayland_) {
        virtualKeyboard_ = VirtualKeyboardTypist::create(*wayland_);
        // A compositor that refuses our keyboard ends the whole connection.
        if (wayland_->broken())
            wayland_ = WaylandConnection::open();
    }
    if (wayland_)
        dataControl_ = DataControlClipboard::create(*wayland_);
    offer.dataControl = dataControl_ != nullptr;
    offer.virtualKeyboard = virtualKeyboard_ != nullptr;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const PortalOffer portal = queryPortal(bus, kPortalQueryTimeoutMs);
    offer.globalShortcuts = portal.globalShortcuts;
    offer.remoteDesktopVersion = portal.remoteDesktopVersion;
    if (std::optional<QString> sway = runningSwayConfig())
        offer.insertBound = configBindsInsert(*sway);
    else
        offer.insertBound = gnomeBindsInsert();
    const PressPlan plan = planPressPath(offer);

    ClipboardWriter* sessionClipboard = dataControl_.get();
    if (plan.clipboard == PressPlan::Clipboard::X11) {
        committedX11Clipboard_ = std::make_unique<CommittedX11Clipboard>(*x11Clipboard_);
        sessionClipboard = committedX11Clipboard_.get();
    }
    Typist* sessionTypist = x11Typist_.get();
    switch (plan.typing) {
    case PressPlan::Typing::VirtualKeyboard:
        sessionTypist = virtualKeyboard_.get();
        break;
    case PressPlan::Typing::RemoteDesktop:
        virtualKeyboard_.reset();
        remoteDesktop_ = std::make_unique<RemoteDesktopTypist>(
            bus, plan.persistRemoteDesktop, RestoreTokenStore(RestoreTokenStore::defaultFile()));
        sessionTypist = remoteDesktop_.get();
        break;
    case PressPlan::Typing::XWaylandOnly:
        break;
    }
    std::vector<KeySource*> keys{watcher_.get()};
    if (plan.trigger == PressPlan::Trigger::PortalShortcut) {
        shortcut_ = std::make_unique<PortalShortcut>(bus);
        keys.push_back(shortcut_.get());
    }
    router_ = std::make_unique<PressRouter>(
        PressRouter::Parts{*x11Clipboard_, *x11Typist_},
        PressRouter::Parts{*sessionClipboard, *sessionTypist},
        [this] { return keySources().lastPressOnlyFrom(watcher_.get()); });

    DataControlClipboard* dataControl = dataControl_.get();
    shell_->setOwnClipboardText([this, dataControl]() -> std::optional<QString> {
        if (std::optional<QString> own = x11Clipboard_->ownText())
            return own;
        if (dataControl)
            return dataControl->ownText();
        return std::nullopt;
    });
    assemble(std::move(keys), router_->clipboard(), router_->typist());
    if (std::optional<QString> notice = startupNotice(offer, plan))
        notify(*notice);

    // The portal learns our application id before anything else is asked of it.
    auto startPortals = [this, offer] {
        // F8 bound to `qinglanque --insert` works without the portal's shortcut.
        if (shortcut_)
            shortcut_->start([this, bound = offer.insertBound](const QString& why) {
                if (!bound)
                    notify(shortcutFailedNotice(why));
            });
        if (remoteDesktop_)
            remoteDesktop_->start([this](const QString& why) { notify(typingRefusedNotice(why)); });
    };
    if (portal.registry && (shortcut_ || remoteDesktop_)) {
        QDBusMessage registration = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
        registration.setArguments({QString::fromUtf8(config::kAppId), QVariantMap()});
        QObject* context =
            shortcut_ ? static_cast<QObject*>(shortcut_.get()) : remoteDesktop_.get();
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(registration), context);
        QObject::connect(
            watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, startPortals] {
                watcher->deleteLater();
                if (watcher->isError())
                    qCInfo(log::desktop, "the portal did not take our application id: %ls",
                           qUtf16Printable(watcher->error().message()));
                startPortals();
            });
    } else {
        startPortals();
    }
    qCInfo(log::desktop, "Wayland session: F8 through %s, clipboard through %s, typing through %s",
           plan.trigger == PressPlan::Trigger::PortalShortcut ? "the portal's shortcut"
                                                              : "qinglanque --insert",
           plan.clipboard == PressPlan::Clipboard::DataControl ? "data-control" : "X11",
           plan.typing == PressPlan::Typing::VirtualKeyboard ? "a virtual keyboard"
           : plan.typing == PressPlan::Typing::RemoteDesktop ? "the portal's remote control"
                                                             : "XTest (XWayland windows only)");
}

WaylandSessionDesktop::~WaylandSessionDesktop() {
    disassemble();
    shell_->setOwnClipboardText({});
    // A window may still be fetching the text of the last press.
    if (dataControl_ && dataControl_->holdsText()) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kServeClipboardAtExitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    x11Clipboard_->serveBeforeExit(std::chrono::milliseconds(kServeClipboardAtExitMs));
    x11Connection_.reset();
}

ShellServices& WaylandSessionDesktop::shell() {
    return *shell_;
}

} // namespace qlq
