#include "insert/insertion_engine.h"

#include "insert/insertion_composer.h"
#include "insert/insertion_controls.h"

namespace qlq {

InsertionEngine::InsertionEngine(DesktopServices& desktop, InsertionControls& controls,
                                 NextRandom& random, QObject* parent)
    : QObject(parent), desktop_(desktop), controls_(controls), random_(random) {
    timer_.setObjectName(QStringLiteral("Timer2"));
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &InsertionEngine::tick);
    timer_.start();
    desktop_.setKeyActivityHandler([this](KeyActivity activity) { onKeyActivity(activity); });
}

InsertionEngine::~InsertionEngine() {
    desktop_.setKeyActivityHandler({});
}

void InsertionEngine::tick() {
    const bool pressed = desktop_.queryF8Pressed();
    if (pending_) {
        if (pending_->age.elapsed() > kDeferLimitMs) {
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
    switch (activity) {
    case KeyActivity::F8Pressed:
        if (!sinceLastPress_.isValid() || sinceLastPress_.elapsed() >= kTickMs) {
            timer_.start(); // the next regular tick comes a full interval later
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
    const int row = controls_.randomOrder() ? chooser_.nextAtRandom(rows, random_.next())
                                            : chooser_.nextInListOrder(rows);
    const QString text =
        composeInsertion(controls_.rowText(row), controls_.appendOwnTail(), controls_.ownTail());
    controls_.showComposed(text);
    pending_ = Pending{text, controls_.sendAfterInsert(), {}};
    pending_->age.start();
    deliverPending();
}

void InsertionEngine::deliverPending() {
    if (!desktop_.setClipboardText(pending_->text)) {
        pending_.reset(); // the clipboard is not ours to use now: skip this press
        return;
    }
    switch (desktop_.sendPaste()) {
    case InjectResult::Retry:
        return;
    case InjectResult::Failed:
        // Without the paste a Ctrl+Enter would post the reply without its tail.
        pending_.reset();
        return;
    case InjectResult::Ok:
        break;
    }
    if (pending_->submit)
        desktop_.sendSubmit();
    const QString text = pending_->text;
    pending_.reset();
    emit delivered(text);
}

} // namespace qlq
