#include "app/gnome_f8_binding.h"

#include <QProcess>
#include <QRegularExpression>

namespace qlq {
namespace {

const QString kListSchema = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys");
const QString kListKey = QStringLiteral("custom-keybindings");
const QString kEntrySchema =
    QStringLiteral("org.gnome.settings-daemon.plugins.media-keys.custom-keybinding");

QString entrySchema() {
    return kEntrySchema + QLatin1Char(':') + QString::fromLatin1(GnomeF8Binding::kPath);
}

// GNOME splits the command as a shell would, without running one.
QString shellWord(const QString& word) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

GnomeF8Binding::GnomeF8Binding(QString program, QString gsettings)
    : program_(std::move(program)), gsettings_(std::move(gsettings)) {}

QString GnomeF8Binding::command() const {
    return shellWord(program_) + QStringLiteral(" --insert");
}

GnomeF8Binding::Run GnomeF8Binding::gsettings(const QStringList& arguments) const {
    QProcess process;
    process.start(gsettings_, arguments);
    Run run;
    if (!process.waitForStarted(5000)) {
        run.error = QStringLiteral("找不到 gsettings 命令（Debian/Ubuntu：libglib2.0-bin 软件包）/ "
                                   "the gsettings command is missing (Debian/Ubuntu package "
                                   "libglib2.0-bin)");
        return run;
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished(1000);
        run.error = QStringLiteral("gsettings 没有响应 / gsettings does not answer");
        return run;
    }
    run.output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    run.error = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!run.ok && run.error.isEmpty())
        run.error = QStringLiteral("gsettings %1 failed").arg(arguments.value(0));
    return run;
}

std::optional<QStringList> GnomeF8Binding::readList(QString* error) const {
    const Run run = gsettings({QStringLiteral("get"), kListSchema, kListKey});
    if (!run.ok) {
        const bool noSchema = run.error.contains(QLatin1String("No such schema")) ||
                              run.error.contains(QLatin1String("No schemas installed"));
        *error = noSchema ? QStringLiteral("这里没有 GNOME 的快捷键设置（%1）/ GNOME's keyboard "
                                           "shortcut settings are not installed here (%1)")
                                .arg(kListSchema)
                          : run.error;
        return std::nullopt;
    }
    std::optional<QStringList> list = parseGVariantStrings(run.output);
    if (!list)
        *error = QStringLiteral("unexpected custom-keybindings value: %1").arg(run.output);
    return list;
}

std::optional<QString> GnomeF8Binding::writeList(const QStringList& list) const {
    const Run run =
        gsettings({QStringLiteral("set"), kListSchema, kListKey, gvariantStrings(list)});
    if (!run.ok)
        return run.error;
    // gsettings may report success for a write that never reached the settings store (no
    // dconf, no session bus): only a fresh read shows it stuck.
    QString error;
    const std::optional<QStringList> written = readList(&error);
    if (!written)
        return error;
    if (*written != list)
        return QStringLiteral("设置没有保存（没有 dconf 或会话总线？）/ the setting did not "
                              "stick (no dconf or no session bus?)");
    return std::nullopt;
}

GnomeF8Binding::Outcome GnomeF8Binding::bind() const {
    QString error;
    std::optional<QStringList> list = readList(&error);
    if (!list)
        return {false, error};
    // The entry's keys first: GNOME picks the shortcut up once the list names it.
    const std::pair<const char*, QString> keys[] = {{"name", QStringLiteral("青岚雀贴吧小尾巴 F8")},
                                                    {"command", command()},
                                                    {"binding", QStringLiteral("F8")}};
    for (const auto& [key, value] : keys) {
        const Run run = gsettings({QStringLiteral("set"), entrySchema(), QString::fromLatin1(key),
                                   gvariantString(value)});
        if (!run.ok)
            return {false, run.error};
    }
    const QString path = QString::fromLatin1(kPath);
    const bool listed = list->contains(path);
    if (!listed) {
        list->append(path);
        if (const std::optional<QString> failed = writeList(*list))
            return {false, *failed};
    }
    return {true, QStringLiteral("GNOME 快捷键 F8 → %1（%2）%3\n"
                                 "GNOME shortcut F8 runs: %1 (%2)%4\n")
                      .arg(command(), path,
                           listed ? QStringLiteral("，已更新") : QStringLiteral("，已添加"),
                           listed ? QStringLiteral(", updated") : QStringLiteral(", added"))};
}

GnomeF8Binding::Outcome GnomeF8Binding::unbind() const {
    QString error;
    std::optional<QStringList> list = readList(&error);
    if (!list)
        return {false, error};
    const QString path = QString::fromLatin1(kPath);
    const bool listed = list->removeAll(path) > 0;
    if (listed) {
        if (const std::optional<QString> failed = writeList(*list))
            return {false, *failed};
    }
    const Run reset = gsettings({QStringLiteral("reset-recursively"), entrySchema()});
    if (!reset.ok)
        return {false, reset.error};
    return {true, listed ? QStringLiteral("GNOME 快捷键 F8 已删除 / GNOME shortcut F8 removed\n")
                         : QStringLiteral("GNOME 快捷键 F8 本来就没有 / there was no GNOME "
                                          "shortcut F8 of ours\n")};
}

std::optional<QStringList> parseGVariantStrings(const QString& text) {
    QString rest = text.trimmed();
    if (rest.startsWith(QLatin1String("@as ")))
        rest = rest.mid(4).trimmed();
    if (!rest.startsWith(QLatin1Char('[')) || !rest.endsWith(QLatin1Char(']')))
        return std::nullopt;
    rest = rest.mid(1, rest.size() - 2);
    // 'single' or "double" quoted, backslash escapes; separated by commas.
    static const QRegularExpression item(
        QStringLiteral("^\\s*(?:'((?:[^'\\\\]|\\\\.)*)'|\"((?:[^\"\\\\]|\\\\.)*)\")\\s*(,|$)"));
    static const QRegularExpression escape(QStringLiteral("\\\\(.)"));
    QStringList values;
    while (!rest.trimmed().isEmpty()) {
        const QRegularExpressionMatch match = item.match(rest);
        if (!match.hasMatch())
            return std::nullopt;
        QString value = match.captured(1) + match.captured(2);
        values << value.replace(escape, QStringLiteral("\\1"));
        rest = rest.mid(match.capturedEnd());
    }
    return values;
}

QString gvariantString(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString gvariantStrings(const QStringList& values) {
    if (values.isEmpty())
        return QStringLiteral("@as []");
    QStringList quoted;
    for (const QString& value : values)
        quoted << gvariantString(value);
    return QLatin1Char('[') + quoted.join(QStringLiteral(", ")) + QLatin1Char(']');
}

} // namespace qlq
