#pragma once

#include "platform/desktop_services.h"

#include <QStringList>

#include <vector>

namespace qlq {

// Desktop for tests: key states and failures are scripted, every call is recorded in order.
class FakeDesktop : public DesktopServices {
public:
    explicit FakeDesktop(QString programDirectory = QString(),
                         QString userDataDirectory = QString());

    // --- scripting ---
    void pressF8() { f8Pressed_ = true; } // reads as pressed at the next query only
    void setF8Held(bool held) { f8Held_ = held; }
    void setModifierHeld(bool held) { modifierHeld_ = held; }
    void setClipboardFails(bool fails) { clipboardFails_ = fails; }
    void setPasteFails(bool fails) { pasteFails_ = fails; }
    void setSubmitFails(bool fails) { submitFails_ = fails; }
    void setClipboardReadResult(std::optional<QString> text) { clipboardRead_ = std::move(text); }
    // Reads wait until answerClipboardReads(), as a real read waits for the clipboard's owner.
    void setClipboardReadsWait(bool wait) { clipboardReadsWait_ = wait; }
    void answerClipboardReads();
    // The notification area comes or goes; the handler hears of a change.
    void setTrayAvailable(bool available);
    void setTrayDoubleClicks(bool delivered) { trayDoubleClicks_ = delivered; }
    void setKeyboardProblem(std::optional<QString> problem) {
        keyboardProblem_ = std::move(problem);
    }
    // Delivers a key event as the watcher would.
    void emitKeyActivity(KeyActivity activity);

    // --- what happened ---
    // "clipboard:<text>", "paste", "submit", "open:<url>", "message:<title>|<text>"
    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    QString clipboard() const { return clipboard_; }
    int f8Queries() const { return f8Queries_; }

    // --- DesktopServices ---
    std::optional<QString> keyboardProblem() const override { return keyboardProblem_; }
    bool queryF8Pressed() override;
    void setKeyActivityHandler(std::function<void(KeyActivity)> handler) override;
    bool setClipboardText(const QString& text) override;
    void readClipboardText(std::function<void(std::optional<QString>)> done) override;
    InjectResult sendPaste() override;
    InjectResult sendSubmit() override;
    void openUrl(const QUrl& url) override;
    QString programDirectory() const override { return programDirectory_; }
    QString userDataDirectory() const override { return userDataDirectory_; }
    QCursor linkCursor() const override { return QCursor(Qt::PointingHandCursor); }
    void showMessage(QWidget* parent, const QString& title, const QString& text) override;
    bool systemTrayAvailable() const override { return trayAvailable_; }
    void setTrayAvailabilityHandler(std::function<void(bool)> handler) override {
        trayHandler_ = std::move(handler);
    }
    bool trayDeliversDoubleClicks() const override { return trayDoubleClicks_; }

private:
    QString programDirectory_;
    QString userDataDirectory_;
    bool f8Pressed_ = false;
    bool f8Held_ = false;
    bool modifierHeld_ = false;
    bool clipboardFails_ = false;
    bool pasteFails_ = false;
    bool submitFails_ = false;
    bool trayAvailable_ = true;
    bool clipboardReadsWait_ = false;
    bool trayDoubleClicks_ = true;
    int f8Queries_ = 0;
    std::optional<QString> keyboardProblem_;
    std::optional<QString> clipboardRead_ = QString();
    QString clipboard_;
    QStringList calls_;
    std::function<void(KeyActivity)> keyHandler_;
    std::function<void(bool)> trayHandler_;
    std::vector<std::function<void(std::optional<QString>)>> waitingReads_;
};

} // namespace qlq
