#include "platform/fake/fake_desktop.h"

namespace qlq {

FakeDesktop::FakeDesktop(QString programDirectory, QString userDataDirectory)
    : programDirectory_(std::move(programDirectory)),
      userDataDirectory_(std::move(userDataDirectory)) {}

void FakeDesktop::emitKeyActivity(KeyActivity activity) {
    if (activity == KeyActivity::F8Pressed)
        f8Pressed_ = true;
    if (keyHandler_)
        keyHandler_(activity);
}

bool FakeDesktop::queryF8Pressed() {
    ++f8Queries_;
    const bool pressed = f8Pressed_ || f8Held_;
    f8Pressed_ = false;
    return pressed;
}

void FakeDesktop::setKeyActivityHandler(std::function<void(KeyActivity)> handler) {
    keyHandler_ = std::move(handler);
}

bool FakeDesktop::setClipboardText(const QString& text) {
    if (clipboardFails_)
        return false;
    clipboard_ = text;
    calls_.append(QStringLiteral("clipboard:") + text);
    return true;
}

void FakeDesktop::readClipboardText(std::function<void(std::optional<QString>)> done) {
    if (clipboardReadsWait_)
        waitingReads_.push_back(std::move(done));
    else
        done(clipboardRead_);
}

void FakeDesktop::answerClipboardReads() {
    std::vector<std::function<void(std::optional<QString>)>> reads;
    reads.swap(waitingReads_);
    for (const auto& done : reads)
        done(clipboardRead_);
}

void FakeDesktop::setTrayAvailable(bool available) {
    const bool changed = available != trayAvailable_;
    trayAvailable_ = available;
    if (changed && trayHandler_)
        trayHandler_(available);
}

InjectResult FakeDesktop::sendPaste() {
    if (pasteFails_)
        return InjectResult::Failed;
    if (modifierHeld_)
        return InjectResult::Retry;
    calls_.append(QStringLiteral("paste"));
    return InjectResult::Ok;
}

InjectResult FakeDesktop::sendSubmit() {
    if (submitFails_)
        return InjectResult::Failed;
    calls_.append(QStringLiteral("submit"));
    return InjectResult::Ok;
}

void FakeDesktop::openUrl(const QUrl& url) {
    calls_.append(QStringLiteral("open:") + url.toString(QUrl::FullyEncoded));
}

void FakeDesktop::showMessage(QWidget*, const QString& title, const QString& text) {
    calls_.append(QStringLiteral("message:") + title + QLatin1Char('|') + text);
}

} // namespace qlq
