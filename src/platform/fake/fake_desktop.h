#pragma once

#include "platform/desktop.h"

#include <QStringList>

#include <vector>

namespace qlq {

// Desktop for tests: key states and failures are scripted, and every call into its parts is
// recorded in one list, in order. It is its own shell, so windows take it as their services.
class FakeDesktop : public Desktop, public ShellServices {
public:
    explicit FakeDesktop(QString programDirectory = QString(),
                         QString userDataDirectory = QString());
    ~FakeDesktop() override;

    // --- scripting ---
    void pressF8() { keys_.pressed = true; } // reads as pressed at the next query only
    void setF8Held(bool held) { keys_.held = held; }
    // Delivers a key event as the watcher would.
    void emitKeyActivity(KeyActivity activity);
    void setKeyboardProblem(std::optional<QString> problem) { keys_.failure = std::move(problem); }
    // Alt, Super or another program's grab: the typist holds pastes back.
    void setModifierHeld(bool held) { typist_.held = held; }
    void setClipboardFails(bool fails) { clipboard_.fails = fails; }
    // Takes wait until the clipboard settles (settleClipboard()).
    void setClipboardSettling(bool settling) { clipboard_.settling = settling; }
    void settleClipboard();
    // What the clipboard says of the last paste once it settled: nothing when all was ours.
    void setPasteDoubt(std::optional<QString> doubt) { clipboard_.doubt = std::move(doubt); }
    void setPasteFails(bool fails) { typist_.pasteFails = fails; }
    // Ctrl+V goes out, but on a key that may not type V.
    void setPasteUncertain(bool uncertain) { typist_.pasteUncertain = uncertain; }
    void setSubmitFails(bool fails) { typist_.submitFails = fails; }
    void setClipboardReadResult(std::optional<QString> text) { read_ = std::move(text); }
    // Reads wait until answerClipboardReads(), as a real read waits for the clipboard's owner.
    void setClipboardReadsWait(bool wait) { readsWait_ = wait; }
    void answerClipboardReads();
    // The notification area comes or goes; the handler hears of a change.
    void setTrayAvailable(bool available);
    void setTrayDoubleClicks(bool delivered) { doubleClicks_ = delivered; }

    // --- what happened ---
    // "clipboard:<text>", "paste", "submit", "open:<url>", "message:<title>|<text>"
    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    QString clipboard() const { return clipboard_.text; }
    int f8Queries() const { return keys_.queries; }

    ShellServices& shell() override { return *this; }
    void openUrl(const QUrl& url) override;
    QString programDirectory() const override { return programDirectory_; }
    std::optional<QString> userDataDirectory() const override { return userDataDirectory_; }
    QCursor linkCursor() const override { return QCursor(Qt::PointingHandCursor); }
    void showMessage(QWidget* parent, const QString& title, const QString& text) override;
    bool systemTrayAvailable() const override { return trayAvailable_; }
    void setTrayAvailabilityHandler(std::function<void(bool)> handler) override {
        trayHandler_ = std::move(handler);
    }
    bool trayDeliversDoubleClicks() const override { return doubleClicks_; }
    void readClipboardText(std::function<void(std::optional<QString>)> done) override;

private:
    struct Keys : KeySource {
        bool pressed = false, held = false;
        int queries = 0;
        std::optional<QString> failure;
        std::function<void(KeyActivity)> handler;

        std::optional<QString> problem() const override { return failure; }
        bool queryF8Pressed() override;
        void setHandler(std::function<void(KeyActivity)> h) override { handler = std::move(h); }
    };
    struct Clipboard : ClipboardWriter {
        QStringList* calls = nullptr;
        QString text;
        bool fails = false, settling = false;
        std::optional<QString> doubt;
        std::function<void()> settled;

        Take take(const QString& offered) override;
        std::optional<QString> confirm() override { return std::nullopt; }
        void whenSettled(std::function<void(std::optional<QString>)> verdict) override {
            verdict(doubt);
        }
        void setSettledHandler(std::function<void()> handler) override {
            settled = std::move(handler);
        }
    };
    struct FakeTypist : Typist {
        QStringList* calls = nullptr;
        bool held = false, pasteFails = false, pasteUncertain = false, submitFails = false;

        std::optional<QString> problem() const override { return std::nullopt; }
        std::optional<QString> holdBack() override;
        Typed paste() override;
        Typed submit() override;
    };

    QStringList calls_;
    QString programDirectory_, userDataDirectory_;
    bool trayAvailable_ = true, doubleClicks_ = true, readsWait_ = false;
    std::optional<QString> read_ = QString();
    std::function<void(bool)> trayHandler_;
    std::vector<std::function<void(std::optional<QString>)>> waitingReads_;
    Keys keys_;
    Clipboard clipboard_;
    FakeTypist typist_;
};

} // namespace qlq
