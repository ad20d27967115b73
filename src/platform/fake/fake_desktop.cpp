#include "platform/fake/fake_desktop.h"

namespace qlq {

FakeDesktop::FakeDesktop(QString programDirectory, QString userDataDirectory)
    : programDirectory_(std::move(programDirectory)),
      userDataDirectory_(std::move(userDataDirectory)) {
    clipboard_.calls = typist_.calls = &calls_;
    assemble({&keys_}, clipboard_, typist_);
}

FakeDesktop::~FakeDesktop() {
    disassemble();
}

void FakeDesktop::emitKeyActivity(KeyActivity activity) {
    if (activity == KeyActivity::F8Pressed)
        keys_.pressed = true;
    if (keys_.handler)
        keys_.handler(activity);
}

void FakeDesktop::settleClipboard() {
    clipboard_.settling = false;
    if (clipboard_.settled)
        clipboard_.settled();
}

void FakeDesktop::answerClipboardReads() {
    std::vector<std::function<void(std::optional<QString>)>> reads;
    reads.swap(waitingReads_);
    for (const auto& done : reads)
        done(read_);
}

void FakeDesktop::setTrayAvailable(bool available) {
    const bool changed = available != trayAvailable_;
    trayAvailable_ = available;
    if (changed && trayHandler_)
        trayHandler_(available);
}

void FakeDesktop::openUrl(const QUrl& url) {
    calls_.append(QStringLiteral("open:") + url.toString(QUrl::FullyEncoded));
}

void FakeDesktop::showMessage(QWidget*, const QString& title, const QString& text) {
    calls_.append(QStringLiteral("message:") + title + QLatin1Char('|') + text);
}

void FakeDesktop::readClipboardText(std::function<void(std::optional<QString>)> done) {
    if (readsWait_)
        waitingReads_.push_back(std::move(done));
    else
        done(read_);
}

bool FakeDesktop::Keys::queryF8Pressed() {
    ++queries;
    const bool answer = pressed || held;
    pressed = false;
    return answer;
}

ClipboardWriter::Take FakeDesktop::Clipboard::take(const QString& offered) {
    if (fails)
        return {Take::Outcome::Refused, QStringLiteral("scripted: the clipboard refused")};
    if (settling)
        return {Take::Outcome::Settling, QStringLiteral("scripted: the clipboard is settling")};
    text = offered;
    calls->append(QStringLiteral("clipboard:") + offered);
    return {};
}

std::optional<QString> FakeDesktop::FakeTypist::holdBack() {
    if (held)
        return QStringLiteral("scripted: a modifier is held");
    return std::nullopt;
}

Typist::Typed FakeDesktop::FakeTypist::paste() {
    if (pasteFails)
        return {false, false, QStringLiteral("scripted: Ctrl+V cannot be typed")};
    calls->append(QStringLiteral("paste"));
    return {true, !pasteUncertain,
            pasteUncertain ? QStringLiteral("scripted: no key types V") : QString()};
}

Typist::Typed FakeDesktop::FakeTypist::submit() {
    if (submitFails)
        return {false, false, QStringLiteral("scripted: Ctrl+Enter cannot be typed")};
    calls->append(QStringLiteral("submit"));
    return {true, true, QString()};
}

} // namespace qlq
