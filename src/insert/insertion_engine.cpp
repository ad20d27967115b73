#include "insert/insertion_engine.h"

#include "config/log_categories.h"
#include "insert/insertion_composer.h"
#include "insert/insertion_controls.h"

namespace qlq {

InsertionEngine::InsertionEngine(DesktopServices& desktop, InsertionControls& controls,
                                 NextRandom& random, QObject* parent)
    : QObject(parent), desktop_(desktop), controls_(controls), random_(random),
      timer_(new QTimer(this)) {
    timer_->setObjectName(QStringLiteral("Timer2"));
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, &InsertionEngine::tick);
    timer_->start();
    f8Armed_ = !desktop_.queryF8Pressed();
    if (!f8Armed_)
        qCInfo(log::insert, "F8 press from before the start dropped");
    desktop_.setKeyActivityHandler([this](KeyActivity activity) { onKeyActivity(activity); });
}

InsertionEngine::~InsertionEngine() {
    desktop_.setKeyActivityHandler({});
}

void InsertionEngine::rowChosen(int row) {
    chooser_.selectRow(row);
}

void InsertionEngine::listReloaded() {
    chooser_.afterReload();
}

void InsertionEngine::editorOpened() {
    chooser_.restart();
}

void InsertionEngine::randomOrderTurnedOff() {
    chooser_.restart();
}

void InsertionEngine::stop() {
    running_ = false;
    timer_->stop();
    if (pending_)
        qCInfo(log::insert, "press dropped: the engine stopped before it could paste");
    pending_.reset();
    desktop_.setKeyActivityHandler({});
}

void InsertionEngine::tick() {
    if (!running_)
        return;
    bool pressed = desktop_.queryF8Pressed();
    if (!f8Armed_) {
        f8Armed_ = !pressed; // armed once the old press is over
        pressed = false;
    }
    if (pending_) {
        if (pending_->age.elapsed() > kDeferLimitMs) {
            qCInfo(log::insert, "press dropped: Alt, Super or AltGr was held for more than %d s",
                   kDeferLimitMs / 1000);
            pending_.reset();
        } else {
            deliverPending();
            if (pending_)
                return; // still held back by a modifier; this press merges into it
        }
    }
    if (pressed)
        startPress();
}

void InsertionEngine::onKeyActivity(KeyActivity activity) {
    if (!running_)
        return;
    switch (activity) {
    case KeyActivity::F8Pressed:
        f8Armed_ = true; // a fresh press, whatever was held before
        if (!sinceLastPress_.isValid() || sinceLastPress_.elapsed() >= kTickMs) {
            timer_->start(); // the next regular tick comes a full interval later
            tick();
        }
        break;
    case KeyActivity::ModifierReleased:
        if (pending_)
            deliverPending();
        break;
    }
}

void InsertionEngine::startPress() {
    sinceLastPress_.start();
    const int rows = controls_.rowCount();
    const bool random = controls_.randomOrder();
    const int row =
        random ? TailChooser::atRandom(rows, random_.next()) : chooser_.nextInListOrder(rows);
    const QString text =
        composeInsertion(controls_.rowText(row), controls_.appendOwnTail(), controls_.ownTail());
    controls_.showComposed(text);
    qCDebug(log::insert, "F8: row %d of %d (%s order)", row, rows, random ? "random" : "list");
    pending_ = Pending{text, controls_.sendAfterInsert(), {}, std::nullopt, chooser_.lastIndex()};
    if (!random)
        pending_->listRow = row;
    pending_->age.start();
    deliverPending();
}

void InsertionEngine::deliverPending() {
    if (!desktop_.setClipboardText(pending_->text)) {
        qCInfo(log::insert, "press dropped: the clipboard refused the text");
        pending_.reset(); // the clipboard is not ours to use now: skip this press
        return;
    }
    switch (desktop_.sendPaste()) {
    case InjectResult::Retry:
        qCDebug(log::insert, "paste deferred until Alt, Super or AltGr is released");
        return;
    case InjectResult::Failed:
        // Without the paste a Ctrl+Enter would post the reply without its tail.
        qCInfo(log::insert, "press dropped: Ctrl+V could not be typed");
        pending_.reset();
        return;
    case InjectResult::Ok:
        break;
    }
    // Only now does list order move on; a click or reload since the press has the last word.
    if (pending_->listRow && chooser_.lastIndex() == pending_->lastIndexAtChoice)
        chooser_.delivered(*pending_->listRow);
    const bool submit = pending_->submit;
    if (submit && desktop_.sendSubmit() != InjectResult::Ok)
        qCInfo(log::insert, "Ctrl+Enter could not be typed after the paste");
    const QString text = pending_->text;
    pending_.reset();
    qCDebug(log::insert, "pasted %lld characters%s", static_cast<long long>(text.size()),
            submit ? " and sent Ctrl+Enter" : "");
    emit delivered(text);
}

} // namespace qlq
