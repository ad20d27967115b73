#pragma once

#include <QString>

#include <optional>

namespace qlq {

// The desktop's autostart entry (XDG autostart: $XDG_CONFIG_HOME/autostart/<app id>.desktop),
// which starts the program in the background at login.
class AutostartEntry {
public:
    // `configHome`: $XDG_CONFIG_HOME or ~/.config; `program`: the program file to start.
    AutostartEntry(QString configHome, QString appId, QString program);

    QString path() const;
    // The entry's text: a desktop entry that runs `program --background`.
    QString text() const;

    // Writes or removes the entry; the reason when that failed. Removing an absent entry is fine.
    std::optional<QString> turnOn() const;
    std::optional<QString> turnOff() const;

private:
    QString configHome_;
    QString appId_;
    QString program_;
};

} // namespace qlq
