#include "platform/wayland/remote_desktop_typist.h"

#include "config/log_categories.h"
#include "platform/common/keysyms.h"
#include "platform/wayland/portal.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>

namespace qlq {
namespace {

const QString kInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
constexpr uint kKeyboard = 1;
constexpr uint kPersistUntilRevoked = 2;

} // namespace

RemoteDesktopTypist::RemoteDesktopTypist(const QDBusConnection& bus, bool persist,
                                         RestoreTokenStore tokens)
    : bus_(bus), persist_(persist), tokens_(std::move(tokens)) {}

void RemoteDesktopTypist::start(std::function<void(const QString&)> refused) {
    refused_ = std::move(refused);
    state_ = State::Starting;
    const QVariantMap options{{QStringLiteral("session_handle_token"), portalToken()}};
    portalRequest(bus_, kInterface, QStringLiteral("CreateSession"), {options}, this,
                  [this](const PortalResponse& response) {
                      session_ = portalSessionHandle(response);
                      if (response.code != 0 || session_.isEmpty()) {
                          fail(portalFailure(response));
                          return;
                      }
                      bus_.connect(QStringLiteral("org.freedesktop.portal.Desktop"), session_,
                                   QStringLiteral("org.freedesktop.portal.Session"),
                                   QStringLiteral("Closed"), this,
                                   SLOT(onSessionClosed(QVariantMap)));
                      selectDevices();
                  });
}

void RemoteDesktopTypist::selectDevices() {
    QVariantMap options{{QStringLiteral("types"), QVariant::fromValue(kKeyboard)}};
    if (persist_) {
        options.insert(QStringLiteral("persist_mode"), QVariant::fromValue(kPersistUntilRevoked));
        const QString token = tokens_.load();
        if (!token.isEmpty())
            options.insert(QStringLiteral("restore_token"), token);
    }
    portalRequest(bus_, kInterface, QStringLiteral("SelectDevices"),
                  {QVariant::fromValue(QDBusObjectPath(session_)), options}, this,
                  [this](const PortalResponse& response) {
                      if (response.code != 0) {
                          fail(portalFailure(response));
                          return;
                      }
                      startSession();
                  });
}

void RemoteDesktopTypist::startSession() {
    qCInfo(log::desktop, "asking the desktop for remote control of the keyboard");
    portalRequest(
        bus_, kInterface, QStringLiteral("Start"),
        {QVariant::fromValue(QDBusObjectPath(session_)), QString(), QVariantMap()}, this,
        [this](const PortalResponse& response) {
            if (response.code != 0) {
                fail(portalFailure(response));
                return;
            }
            if (!(response.results.value(QStringLiteral("devices")).toUInt() & kKeyboard)) {
                fail(QStringLiteral("the keyboard was not granted"));
                return;
            }
            // The portal's new token replaces the one it used up.
            if (persist_)
                tokens_.save(response.results.value(QStringLiteral("restore_token")).toString());
            state_ = State::Ready;
            qCInfo(log::desktop, "typing through the desktop's remote control");
        });
}

void RemoteDesktopTypist::fail(const QString& why) {
    if (state_ == State::Failed)
        return;
    state_ = State::Failed;
    failure_ = why;
    qCWarning(log::desktop, "no remote control of the keyboard: %ls", qUtf16Printable(why));
    if (refused_)
        refused_(why);
}

void RemoteDesktopTypist::onSessionClosed(const QVariantMap&) {
    fail(QStringLiteral("the desktop ended the remote-control session"));
}

std::optional<QString> RemoteDesktopTypist::holdBack() {
    if (state_ == State::Starting)
        return QStringLiteral("waiting for the desktop to allow remote control of the keyboard");
    return std::nullopt;
}

Typist::Typed RemoteDesktopTypist::paste() {
    if (state_ != State::Ready)
        return {false, false,
                QStringLiteral("no remote control of the keyboard: %1").arg(failure_)};
    ++paste_;
    pasteKeysUnanswered_ = 0;
    pasteKeysFailed_ = false;
    submitWaiting_ = false;
    typeCtrlPlus(keysym::kLowerV, paste_);
    return {true, true, QString()};
}

Typist::Typed RemoteDesktopTypist::submit() {
    if (state_ != State::Ready)
        return {false, false,
                QStringLiteral("no remote control of the keyboard: %1").arg(failure_)};
    if (pasteKeysFailed_)
        return {false, false, QStringLiteral("the portal did not take the keys of Ctrl+V")};
    if (pasteKeysUnanswered_ > 0)
        submitWaiting_ = true;
    else
        typeCtrlPlus(keysym::kReturn, 0);
    return {true, true, QString()};
}

void RemoteDesktopTypist::typeCtrlPlus(int key, unsigned paste) {
    if (paste != 0)
        pasteKeysUnanswered_ += 4;
    sendKeys({{keysym::kControlL, 1U}, {key, 1U}, {key, 0U}, {keysym::kControlL, 0U}}, 0, paste);
}

// One key after the other's answer: the portal may handle calls on several threads, and a
// release overtaking its press leaves the key held, repeating in the focused window.
void RemoteDesktopTypist::sendKeys(std::vector<std::pair<int, unsigned>> keys, std::size_t next,
                                   unsigned paste) {
    if (next == keys.size())
        return;
    QDBusMessage message =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
                                       QStringLiteral("/org/freedesktop/portal/desktop"),
                                       kInterface, QStringLiteral("NotifyKeyboardKeysym"));
    message.setArguments({QVariant::fromValue(QDBusObjectPath(session_)), QVariantMap(),
                          keys[next].first, keys[next].second});
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, keys = std::move(keys), next, paste]() mutable {
                watcher->deleteLater();
                onKeyReply(!watcher->isError(), paste, watcher->error().message());
                sendKeys(std::move(keys), next + 1, paste);
            });
}

void RemoteDesktopTypist::onKeyReply(bool ok, unsigned paste, const QString& error) {
    if (!ok)
        qCInfo(log::desktop, "the portal did not take a key: %ls", qUtf16Printable(error));
    if (paste != paste_)
        return; // Ctrl+Enter's keys, or an earlier paste's
    pasteKeysFailed_ = pasteKeysFailed_ || !ok;
    if (--pasteKeysUnanswered_ > 0 || !submitWaiting_)
        return;
    submitWaiting_ = false;
    if (pasteKeysFailed_)
        qCInfo(log::insert, "Ctrl+Enter withheld: the portal did not take the keys of Ctrl+V");
    else
        typeCtrlPlus(keysym::kReturn, 0);
}

} // namespace qlq
