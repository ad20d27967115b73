#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

namespace qlq {

// What the desktop portal offers this program.
struct PortalOffer {
    bool globalShortcuts = false;
    unsigned remoteDesktopVersion = 0; // 0: none, or it drives no keyboard
    bool registry = false;             // org.freedesktop.host.portal.Registry
};

// Asks the portal once, at start; each question waits at most `timeoutMs`.
PortalOffer queryPortal(const QDBusConnection& bus, int timeoutMs);

// The portal's answer to a request: 0 done, 1 the user said no, 2 it failed.
struct PortalResponse {
    uint code = 2;
    QVariantMap results;
    QString error; // when the call itself failed
};

// Calls a portal method that answers through a Request object, and hands its Response to
// `done`, later, from the event loop. The last argument is the options map; a handle token is
// added to it so that the answer is listened for before the call goes out.
void portalRequest(const QDBusConnection& bus, const QString& interface, const QString& method,
                   QVariantList arguments, QObject* context,
                   std::function<void(const PortalResponse&)> done);

// A fresh token for a portal session's object path.
QString portalToken();

// The session handle a CreateSession response names.
QString portalSessionHandle(const PortalResponse& response);

// Why a request did not get done, for the log and the user.
QString portalFailure(const PortalResponse& response);

} // namespace qlq
