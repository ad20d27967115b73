#pragma once

#include <QCursor>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QWidget;

namespace qlq {

// What the windows need from the desktop: web pages, folders, message boxes, the link cursor,
// the notification area and reading the clipboard. One implementation per desktop, one for tests.
class ShellServices {
public:
    virtual ~ShellServices() = default;

    // Opens a web address in the user's browser; failures are not reported.
    virtual void openUrl(const QUrl& url) = 0;

    // The directory the program file lives in, without a trailing separator.
    virtual QString programDirectory() const = 0;
    // The per-user data directory used when no portable corvane/ sits beside the program;
    // nothing when the environment names no home for it.
    virtual std::optional<QString> userDataDirectory() const = 0;

    virtual QCursor linkCursor() const = 0;
    // Modal message with an OK button only.
    virtual void showMessage(QWidget* parent, const QString& title, const QString& text) = 0;

    virtual bool systemTrayAvailable() const = 0;
    // Told whenever the notification area comes or goes while the program runs.
    virtual void setTrayAvailabilityHandler(std::function<void(bool available)> handler) = 0;
    // Whether the tray reports a double-click on the icon as one; a StatusNotifier tray reports
    // every click as a single activation.
    virtual bool trayDeliversDoubleClicks() const { return true; }

    // Reads the clipboard's plain text without freezing the caller for long; `done` gets the text
    // ("" when the clipboard holds none) or nothing when the read failed or timed out.
    virtual void readClipboardText(std::function<void(std::optional<QString>)> done) = 0;
};

} // namespace qlq
