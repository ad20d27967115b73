#pragma once

#include "platform/key_source.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

#include <functional>

namespace qlq {

// F8 as a global shortcut the desktop portal registers for us (GlobalShortcuts): the desktop
// reports its presses whatever window has the focus, and takes the key from that window.
class PortalShortcut : public QObject, public KeySource {
    Q_OBJECT
public:
    static constexpr char kShortcutId[] = "insert-next-tail";
    // A release the desktop never reported must not paste for ever: F8 reads as held this long
    // after its press at most.
    static constexpr qint64 kLongestHoldMs = 3000;

    // `nowMs`: a steady clock in milliseconds.
    explicit PortalShortcut(const QDBusConnection& bus, std::function<qint64()> nowMs = {});

    // Registers the shortcut; `failed` hears once why presses will not come after all.
    void start(std::function<void(const QString& why)> failed);

    std::optional<QString> problem() const override { return std::nullopt; }
    bool queryF8Pressed() override;
    void setHandler(std::function<void(KeyActivity)> handler) override {
        handler_ = std::move(handler);
    }

public Q_SLOTS:
    void onActivated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                     const QVariantMap& options);
    void onDeactivated(const QDBusObjectPath& session, const QString& shortcut,
                       qulonglong timestamp, const QVariantMap& options);
    void onSessionClosed(const QVariantMap& details);

private:
    void bind();
    void fail(const QString& why);

    QDBusConnection bus_;
    QString session_;
    std::function<void(const QString&)> failed_;
    std::function<void(KeyActivity)> handler_;
    std::function<qint64()> nowMs_;
    bool pressedSinceQuery_ = false;
    bool down_ = false;
    qint64 downSinceMs_ = 0;
    // Until the desktop has reported a release, a press is a tap: a desktop that never
    // reports releases must not read as a key held for ever.
    bool reportsReleases_ = false;
    bool failedOnce_ = false;
};

} // namespace qlq
