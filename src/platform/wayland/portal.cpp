#include "platform/wayland/portal.h"
#include "platform/wayland/portal_request.h"

#include "config/log_categories.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QRandomGenerator>

namespace qlq {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

QDBusMessage callPortal(const QDBusConnection& bus, const QString& interface, const QString& method,
                        const QVariantList& arguments, int timeoutMs) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, timeoutMs);
}

// Where the portal answers a request of ours with this token.
QString requestPath(const QDBusConnection& bus, const QString& token) {
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

} // namespace

PortalRequest::PortalRequest(const QDBusConnection& bus, QObject* context,
                             std::function<void(const PortalResponse&)> done)
    : QObject(context), bus_(bus), done_(std::move(done)) {}

bool PortalRequest::listen(const QString& path) {
    if (!done_ || path == path_)
        return true;
    stopListening();
    path_ = path;
    return bus_.connect(kService, path_, QStringLiteral("org.freedesktop.portal.Request"),
                        QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
}

void PortalRequest::finish(const PortalResponse& response) {
    stopListening();
    if (auto done = std::exchange(done_, {}))
        done(response);
    deleteLater();
}

void PortalRequest::onResponse(uint code, const QVariantMap& results) {
    finish({code, results, QString()});
}

void PortalRequest::stopListening() {
    if (!path_.isEmpty())
        bus_.disconnect(kService, path_, QStringLiteral("org.freedesktop.portal.Request"),
                        QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
    path_.clear();
}

PortalOffer queryPortal(const QDBusConnection& bus, int timeoutMs) {
    PortalOffer offer;
    if (!bus.isConnected())
        return offer;
    QDBusMessage introspection = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
        QStringLiteral("Introspect"));
    const QDBusMessage reply = bus.call(introspection, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCInfo(log::desktop, "no desktop portal: %ls", qUtf16Printable(reply.errorMessage()));
        return offer;
    }
    const QString xml = reply.arguments().constFirst().toString();
    const auto offers = [&xml](const char* interface) {
        return xml.contains(QStringLiteral("name=\"%1\"").arg(QLatin1String(interface)));
    };
    offer.globalShortcuts = offers("org.freedesktop.portal.GlobalShortcuts");
    offer.registry = offers("org.freedesktop.host.portal.Registry");
    if (offers("org.freedesktop.portal.RemoteDesktop")) {
        const QDBusMessage properties = callPortal(
            bus, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"),
            {QStringLiteral("org.freedesktop.portal.RemoteDesktop")}, timeoutMs);
        if (properties.type() == QDBusMessage::ReplyMessage && !properties.arguments().isEmpty()) {
            const QVariantMap values = qdbus_cast<QVariantMap>(properties.arguments().constFirst());
            constexpr uint kKeyboard = 1;
            if (values.value(QStringLiteral("AvailableDeviceTypes")).toUInt() & kKeyboard)
                offer.remoteDesktopVersion = values.value(QStringLiteral("version")).toUInt();
        }
    }
    qCDebug(log::desktop,
            "desktop portal: global shortcuts %s, remote desktop version %u, "
            "registry %s",
            offer.globalShortcuts ? "yes" : "no", offer.remoteDesktopVersion,
            offer.registry ? "yes" : "no");
    return offer;
}

QString portalToken() {
    return QStringLiteral("qinglanque%1").arg(QRandomGenerator::global()->generate());
}

void portalRequest(const QDBusConnection& bus, const QString& interface, const QString& method,
                   QVariantList arguments, QObject* context,
                   std::function<void(const PortalResponse&)> done) {
    auto* request = new PortalRequest(bus, context, std::move(done));
    const QString token = portalToken();
    QVariantMap options = arguments.isEmpty() ? QVariantMap() : arguments.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    // Listening first: the answer may come before the call returns.
    if (!request->listen(requestPath(bus, token))) {
        request->finish({2, {}, QStringLiteral("cannot listen for the portal's answer")});
        return;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), request);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, request, [request, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError()) {
            request->finish({2, {}, reply.error().message()});
            return;
        }
        // Old portals chose the path themselves.
        if (!request->listen(reply.value().path()))
            request->finish({2,
                             {},
                             QStringLiteral("cannot listen for the "
                                            "portal's answer")});
    });
}

QString portalSessionHandle(const PortalResponse& response) {
    const QVariant handle = response.results.value(QStringLiteral("session_handle"));
    if (handle.canConvert<QDBusObjectPath>())
        return handle.value<QDBusObjectPath>().path();
    return handle.toString();
}

QString portalFailure(const PortalResponse& response) {
    if (!response.error.isEmpty())
        return response.error;
    return response.code == 1 ? QStringLiteral("the user said no")
                              : QStringLiteral("the portal could not do it");
}

} // namespace qlq
