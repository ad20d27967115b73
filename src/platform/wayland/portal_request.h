#pragma once

#include "platform/wayland/portal.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>

namespace qlq {

// Listens for the Response to one portal request and hands it on, once.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    PortalRequest(const QDBusConnection& bus, QObject* context,
                  std::function<void(const PortalResponse&)> done);

    // Listens at the path the portal answers on; false when that cannot be done.
    bool listen(const QString& path);
    void finish(const PortalResponse& response);

public Q_SLOTS:
    void onResponse(uint code, const QVariantMap& results);

private:
    void stopListening();

    QDBusConnection bus_;
    QString path_;
    std::function<void(const PortalResponse&)> done_;
};

} // namespace qlq
