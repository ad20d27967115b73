#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qlq {

// F8 bound to `<program> --insert` among GNOME's custom keyboard shortcuts, which is how F8
// reaches the program while a native Wayland window has the focus on GNOME. Written with the
// `gsettings` command into the user's settings, only when the user asks for it.
class GnomeF8Binding {
public:
    // Our entry among the custom shortcuts; the user's own ones are never touched.
    static constexpr char kPath[] =
        "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/qinglanque/";

    struct Outcome {
        bool ok = false;
        QString message; // what was done, or why it failed
    };

    // `program`: the program file the shortcut runs; `gsettings`: the command to use.
    explicit GnomeF8Binding(QString program, QString gsettings = QStringLiteral("gsettings"));

    // Adds our entry to the list (once) and sets its name, command and key.
    Outcome bind() const;
    // Takes our entry out of the list and resets its keys.
    Outcome unbind() const;

    // The command the shortcut runs, quoted for the shell-like splitting GNOME applies.
    QString command() const;

private:
    struct Run {
        bool ok = false;
        QString output;
        QString error;
    };
    Run gsettings(const QStringList& arguments) const;
    std::optional<QStringList> readList(QString* error) const;
    std::optional<QString> writeList(const QStringList& list) const;

    QString program_;
    QString gsettings_;
};

// GVariant text of a string array as gsettings prints it ("@as []", "['a', 'b']"); nullopt
// when the text is not one.
std::optional<QStringList> parseGVariantStrings(const QString& text);
QString gvariantString(const QString& value);
QString gvariantStrings(const QStringList& values);

} // namespace qlq
