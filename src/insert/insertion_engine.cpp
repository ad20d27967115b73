#include "insert/insertion_engine.h"

#include "config/log_categories.h"
#include "insert/insertion_composer.h"
#include "insert/insertion_controls.h"

namespace qlq {

InsertionEngine::InsertionEngine(PressPath& pressPath, InsertionControls& controls,
                                 NextRandom& random, QObject* parent)
    : QObject(parent), pressPath_(pressPath), controls_(controls), random_(random),
      poll_(new QTimer(this)) {
    poll_->setObjectName(QStringLiteral("Timer2"));
    poll_->setInterval(kTickMs);
    connect(poll_, &QTimer::timeout, this, &InsertionEngine::tick);
    poll_->start();
    f8Armed_ = !pressPath_.queryF8Pressed();
    if (!f8Armed_)
        qCInfo(log::insert, "F8 press from before the start dropped");
    pressPath_.setKeyActivityHandler([this](KeyActivity activity) { onKeyActivity(activity); });
}

InsertionEngine::~InsertionEngine() {
    pressPath_.setKeyActivityHandler({});
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
    poll_->stop();
    if (pending_)
        qCInfo(log::insert, "press dropped: the engine stopped before it could paste");
    pending_.reset();
    pressPath_.setKeyActivityHandler({});
}

void InsertionEngine::tick() {
    if (!running_)
        return;
    bool pressed = pressPath_.queryF8Pressed();
    if (!f8Armed_) {
        f8Armed_ = !pressed; // armed once the old press is over
        pressed = false;
    }
    if (pending_) {
        if (pending_->age.elapsed() > kDeferLimitMs) {
            qCInfo(log::insert, "press dropped: held back for more than %d s (%ls)",
                   kDeferLimitMs / 1000, qUtf16Printable(pending_->heldBackBy));
            pending_.reset();
        } else {
            deliverPending();
            if (pending_)
                return; // still held back; this press merges into it
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
            poll_->start(); // the next regular poll comes a full interval later
            tick();
        }
        break;
    case KeyActivity::HoldEnded:
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
    pending_ = Pending{text,         controls_.sendAfterInsert(), {},
                       std::nullopt, chooser_.lastIndex(),        QString()};
    if (!random)
        pending_->listRow = row;
    pending_->age.start();
    deliverPending();
}

void InsertionEngine::deliverPending() {
    const DeliveryResult result = pressPath_.deliver(pending_->text, pending_->submit);
    switch (result.outcome) {
    case DeliveryResult::Outcome::HeldBack:
        if (result.reason != pending_->heldBackBy)
            qCDebug(log::insert, "paste held back: %ls", qUtf16Printable(result.reason));
        pending_->heldBackBy = result.reason;
        return;
    case DeliveryResult::Outcome::ClipboardRefused:
    case DeliveryResult::Outcome::TypingRefused:
        // The press is over; list order stays where it was, so its tail comes up next time.
        qCInfo(log::insert, "press dropped: %ls", qUtf16Printable(result.reason));
        pending_.reset();
        return;
    case DeliveryResult::Outcome::Sent:
        break;
    }
    // Only now does list order move on; a click or reload since the press has the last word.
    if (pending_->listRow && chooser_.lastIndex() == pending_->lastIndexAtChoice)
        chooser_.delivered(*pending_->listRow);
    if (result.submitWithheld)
        qCInfo(log::insert, "Ctrl+Enter withheld: %ls", qUtf16Printable(*result.submitWithheld));
    qCDebug(log::insert, "pasted %lld characters%s", static_cast<long long>(pending_->text.size()),
            pending_->submit && !result.submitWithheld ? "; Ctrl+Enter follows" : "");
    pending_.reset();
}

} // namespace qlq
