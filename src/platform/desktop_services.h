#pragma once

#include <QCursor>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QWidget;

namespace qlq {

// Outcome of one injection step: sent, not sent yet but worth another try later (a modifier the
// user still holds would turn Ctrl+V into something else), or impossible.
enum class InjectResult { Ok, Retry, Failed };

// What the key watcher saw between two queries, reported as it happens so that the engine can
// answer a press at once instead of at the next poll.
enum class KeyActivity {
    F8Pressed,        // a fresh F8 press (no auto-repeat)
    ModifierReleased, // a key that held a paste back went up: Alt, Super, AltGr, or F8 itself
};

// Every operation the program needs from the desktop. One implementation per desktop, one for
// tests; windows and the engine receive it by reference.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // Why F8 cannot be watched or the shortcuts cannot be typed, or nothing when all is well.
    virtual std::optional<QString> keyboardProblem() const = 0;
    // F8 is down now, or was pressed since the previous call.
    virtual bool queryF8Pressed() = 0;
    virtual void setKeyActivityHandler(std::function<void(KeyActivity)> handler) = 0;

    // Clears the clipboard and puts plain text on it; false when the desktop refused.
    virtual bool setClipboardText(const QString& text) = 0;
    // Reads the clipboard's plain text without freezing the caller for long; `done` gets the text
    // ("" when the clipboard holds none) or nothing when the read failed or timed out.
    virtual void readClipboardText(std::function<void(std::optional<QString>)> done) = 0;

    // Ctrl+V and Ctrl+Enter into whatever window has the keyboard focus. A paste is held back
    // (Retry) while the keys would go elsewhere: a modifier is down, or another program holds
    // the keyboard until F8 is released. Ctrl+Enter is refused unless the last Ctrl+V surely
    // pasted.
    virtual InjectResult sendPaste() = 0;
    virtual InjectResult sendSubmit() = 0;

    // Opens a web address in the user's browser; failures are not reported.
    virtual void openUrl(const QUrl& url) = 0;

    // The directory the program file lives in, without a trailing separator.
    virtual QString programDirectory() const = 0;
    // The per-user data directory used when no portable corvane/ sits beside the program.
    virtual QString userDataDirectory() const = 0;

    virtual QCursor linkCursor() const = 0;
    // Modal message with an OK button only.
    virtual void showMessage(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual bool systemTrayAvailable() const = 0;
    // Told whenever the notification area comes or goes while the program runs.
    virtual void setTrayAvailabilityHandler(std::function<void(bool available)> handler) = 0;
    // Whether the tray reports a double-click on the icon as one; a StatusNotifier tray reports
    // every click as a single activation.
    virtual bool trayDeliversDoubleClicks() const { return true; }
};

} // namespace qlq
