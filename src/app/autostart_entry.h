#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qlq {

// The desktop's autostart entry (XDG autostart: $XDG_CONFIG_HOME/autostart/<app id>.desktop),
// which starts the program in the background at login. Entries left under the ids the program
// had before go when it is turned on (one start at login, not two) and when it is turned off.
class AutostartEntry {
public:
    // `configHome`: $XDG_CONFIG_HOME or ~/.config; `program`: the program file to start.
    AutostartEntry(QString configHome, QString appId, QString program,
                   QStringList formerAppIds = {});

    QString path() const;
    // The entry's text: a desktop entry that runs `program --background`.
    QString text() const;

    // Writes or removes the entry (and the former ones); the reason when that failed. Removing
    // an absent entry is fine.
    std::optional<QString> turnOn() const;
    std::optional<QString> turnOff() const;

private:
    QString configHome_;
    QString appId_;
    QString program_;
    QStringList formerAppIds_;
};

} // namespace qlq
