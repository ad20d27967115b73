#include "app/autostart_entry.h"

#include "data/file_access.h"
#include "ui/file_problem_text.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace qlq {
namespace {

// A program path as the Exec key wants it: quoted when it holds anything beyond the plain
// characters, with the characters that are special inside quotes escaped.
QString execArgument(const QString& path) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // The desktop entry format itself escapes a backslash once more; '%' is a field code.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString entryFile(const QString& configHome, const QString& appId) {
    return configHome + QStringLiteral("/autostart/") + appId + QStringLiteral(".desktop");
}

std::optional<QString> removeEntry(const QString& path) {
    QFile entry(path);
    if (!entry.exists() || entry.remove())
        return std::nullopt;
    return entry.errorString();
}

} // namespace

AutostartEntry::AutostartEntry(QString configHome, QString appId, QString program,
                               QStringList formerAppIds)
    : configHome_(std::move(configHome)), appId_(std::move(appId)), program_(std::move(program)),
      formerAppIds_(std::move(formerAppIds)) {}

QString AutostartEntry::path() const {
    return entryFile(configHome_, appId_);
}

QString AutostartEntry::text() const {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=青岚雀贴吧小尾巴\n"
                          "Comment=Press F8 in any program to paste your next forum signature "
                          "line\n"
                          "Exec=%1 --background\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execArgument(program_), appId_);
}

std::optional<QString> AutostartEntry::turnOn() const {
    if (const std::optional<FileProblem> problem = writeFileAtomically(path(), text().toUtf8()))
        return fileProblemText(*problem);
    for (const QString& former : formerAppIds_) {
        if (std::optional<QString> error = removeEntry(entryFile(configHome_, former)))
            return error;
    }
    return std::nullopt;
}

std::optional<QString> AutostartEntry::turnOff() const {
    for (const QString& id : QStringList{appId_} + formerAppIds_) {
        if (std::optional<QString> error = removeEntry(entryFile(configHome_, id)))
            return error;
    }
    return std::nullopt;
}

} // namespace qlq
