// Windows side of the autostart entry: a value under the user's Run key, which Explorer starts
// at login. The configuration folder is not used there.
#include "app/autostart_entry.h"

#include <QDir>
#include <QSettings>

namespace qlq {
namespace {

const QString kRunKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

} // namespace

AutostartEntry::AutostartEntry(QString configHome, QString appId, QString program,
                               QStringList formerAppIds)
    : configHome_(std::move(configHome)), appId_(std::move(appId)), program_(std::move(program)),
      formerAppIds_(std::move(formerAppIds)) {}

QString AutostartEntry::path() const {
    return kRunKey + QLatin1Char('\\') + appId_;
}

QString AutostartEntry::text() const {
    return QLatin1Char('"') + QDir::toNativeSeparators(program_) +
           QStringLiteral("\" --background");
}

std::optional<QString> AutostartEntry::turnOn() const {
    QSettings run(kRunKey, QSettings::NativeFormat);
    run.setValue(appId_, text());
    for (const QString& former : formerAppIds_)
        run.remove(former);
    run.sync();
    if (run.status() != QSettings::NoError)
        return QStringLiteral("the Run key cannot be written");
    return std::nullopt;
}

std::optional<QString> AutostartEntry::turnOff() const {
    QSettings run(kRunKey, QSettings::NativeFormat);
    for (const QString& id : QStringList{appId_} + formerAppIds_)
        run.remove(id);
    run.sync();
    if (run.status() != QSettings::NoError)
        return QStringLiteral("the Run key cannot be written");
    return std::nullopt;
}

} // namespace qlq
