#include "platform/wayland/portal_shortcut.h"

#include "config/log_categories.h"
#include "platform/wayland/portal.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QElapsedTimer>

#include <memory>

namespace qlq {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

} // namespace

// One shortcut as the portal lists them: its id and its properties.
struct PortalShortcutEntry {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcutEntry& entry) {
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcutEntry& entry) {
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

} // namespace qlq

Q_DECLARE_METATYPE(qlq::PortalShortcutEntry)

namespace qlq {

PortalShortcut::PortalShortcut(const QDBusConnection& bus, std::function<qint64()> nowMs)
    : bus_(bus), nowMs_(std::move(nowMs)) {
    if (!nowMs_) {
        nowMs_ = [clock = std::make_shared<QElapsedTimer>()] {
            if (!clock->isValid())
                clock->start();
            return clock->elapsed();
        };
    }
    qDBusRegisterMetaType<PortalShortcutEntry>();
    qDBusRegisterMetaType<QList<PortalShortcutEntry>>();
}

namespace {

QList<PortalShortcutEntry> ourShortcuts() {
    return {{QString::fromLatin1(PortalShortcut::kShortcutId),
             {{QStringLiteral("description"), QStringLiteral("插入下一条小尾巴")},
              {QStringLiteral("preferred_trigger"), QStringLiteral("F8")}}}};
}

// The trigger a portal's answer names for our shortcut, when it names it.
std::optional<QString> boundTrigger(const PortalResponse& response) {
    const auto bound =
        qdbus_cast<QList<PortalShortcutEntry>>(response.results.value(QStringLiteral("shortcuts")));
    for (const PortalShortcutEntry& entry : bound) {
        if (entry.id == QLatin1String(PortalShortcut::kShortcutId))
            return entry.properties.value(QStringLiteral("trigger_description")).toString();
    }
    return std::nullopt;
}

} // namespace

void PortalShortcut::start(std::function<void(const QString&)> failed) {
    failed_ = std::move(failed);
    // Plasma 5.27 takes the shortcuts with the session and names the desktop's entry after the
    // session's token: the same token every time finds the user's key again. (Its
    // BindShortcuts only opens the system settings.)
    const QVariantMap options{
        {QStringLiteral("session_handle_token"), QStringLiteral("qinglanque_f8")},
        {QStringLiteral("shortcuts"), QVariant::fromValue(ourShortcuts())}};
    portalRequest(
        bus_, kInterface, QStringLiteral("CreateSession"), {options}, this,
        [this](const PortalResponse& response) {
            session_ = portalSessionHandle(response);
            if (response.code != 0 || session_.isEmpty()) {
                fail(portalFailure(response));
                return;
            }
            bus_.connect(kService, QStringLiteral("/org/freedesktop/portal/desktop"), kInterface,
                         QStringLiteral("Activated"), this,
                         SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
            bus_.connect(kService, QStringLiteral("/org/freedesktop/portal/desktop"), kInterface,
                         QStringLiteral("Deactivated"), this,
                         SLOT(onDeactivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
            bus_.connect(kService, session_, QStringLiteral("org.freedesktop.portal.Session"),
                         QStringLiteral("Closed"), this, SLOT(onSessionClosed(QVariantMap)));
            if (std::optional<QString> trigger = boundTrigger(response))
                qCInfo(log::desktop, "the desktop's shortcut for F8: %ls",
                       qUtf16Printable(*trigger));
            else
                bind();
        });
}

void PortalShortcut::bind() {
    portalRequest(
        bus_, kInterface, QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(ourShortcuts()),
         QString(), QVariantMap()},
        this, [this](const PortalResponse& response) {
            if (response.code != 0) {
                fail(portalFailure(response));
                return;
            }
            // Some desktops answer without the list.
            qCInfo(log::desktop, "the desktop's shortcut for F8: %ls",
                   qUtf16Printable(boundTrigger(response).value_or(QStringLiteral("bound"))));
        });
}

void PortalShortcut::fail(const QString& why) {
    qCWarning(log::desktop, "no global F8 shortcut from the desktop: %ls", qUtf16Printable(why));
    if (!std::exchange(failedOnce_, true) && failed_)
        failed_(why);
}

bool PortalShortcut::queryF8Pressed() {
    if (down_ && nowMs_() - downSinceMs_ >= kLongestHoldMs) {
        qCInfo(log::desktop, "no release of the desktop's F8 shortcut came: taken as released");
        down_ = false;
    }
    const bool pressed = std::exchange(pressedSinceQuery_, false);
    return pressed || (reportsReleases_ && down_);
}

void PortalShortcut::onActivated(const QDBusObjectPath& session, const QString& shortcut,
                                 qulonglong, const QVariantMap&) {
    if (session.path() != session_ || shortcut != QLatin1String(kShortcutId))
        return;
    pressedSinceQuery_ = true;
    down_ = true;
    downSinceMs_ = nowMs_();
    if (handler_)
        handler_(KeyActivity::F8Pressed);
}

void PortalShortcut::onDeactivated(const QDBusObjectPath& session, const QString& shortcut,
                                   qulonglong, const QVariantMap&) {
    if (session.path() != session_ || shortcut != QLatin1String(kShortcutId))
        return;
    reportsReleases_ = true;
    down_ = false;
    if (handler_)
        handler_(KeyActivity::HoldEnded);
}

void PortalShortcut::onSessionClosed(const QVariantMap&) {
    down_ = false;
    fail(QStringLiteral("the desktop ended the shortcut session"));
}

} // namespace qlq
