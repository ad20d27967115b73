#pragma once

#include <QLoggingCategory>

// The program's log. Quiet by default: only warnings are printed; --verbose or
// QT_LOGGING_RULES (e.g. "qlq.insert.debug=true") switch the rest on.
namespace qlq::log {

// Files: what was read and written, what could not be, and why.
inline const QLoggingCategory& files() {
    static const QLoggingCategory category("qlq.files", QtWarningMsg);
    return category;
}

// The F8 engine: every press, what it pasted, and every press it dropped.
inline const QLoggingCategory& insert() {
    static const QLoggingCategory category("qlq.insert", QtWarningMsg);
    return category;
}

// The desktop: key watching, injection, the clipboard, the tray.
inline const QLoggingCategory& desktop() {
    static const QLoggingCategory category("qlq.desktop", QtWarningMsg);
    return category;
}

// Windows and the program's start and end.
inline const QLoggingCategory& app() {
    static const QLoggingCategory category("qlq.app", QtWarningMsg);
    return category;
}

} // namespace qlq::log
