#include "platform/wayland/restore_token_store.h"

#include "config/log_categories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace qlq {
namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ReadOther | QFileDevice::WriteOther;
constexpr qint64 kMaxTokenBytes = 4096;

} // namespace

QString RestoreTokenStore::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/remote-desktop-token");
}

QString RestoreTokenStore::load() const {
    QFile file(file_);
    if (!file.exists())
        return QString();
    // Others could have copied it; the portal will ask the user again instead.
    if (file.permissions() & kOthers) {
        qCWarning(log::desktop, "%ls is readable by others: not using it", qUtf16Printable(file_));
        return QString();
    }
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(kMaxTokenBytes)).trimmed();
}

bool RestoreTokenStore::save(const QString& token) const {
    if (token.isEmpty())
        return !QFile::exists(file_) || QFile::remove(file_);
    const QString folder = QFileInfo(file_).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile file(file_);
    // Private from its first byte, not only after it is complete.
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(kOwnerOnly))
        return false;
    file.write(token.toUtf8());
    file.write("\n");
    if (!file.commit()) {
        qCWarning(log::desktop, "cannot keep the remote-control permission in %ls",
                  qUtf16Printable(file_));
        return false;
    }
    return true;
}

} // namespace qlq
