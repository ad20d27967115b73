#include "platform/key_sources.h"

#include <QElapsedTimer>

#include <memory>

namespace qlq {

void RequestedPresses::request() {
    requested_ = true;
    if (handler_)
        handler_(KeyActivity::F8Pressed);
}

bool RequestedPresses::queryF8Pressed() {
    const bool requested = requested_;
    requested_ = false;
    return requested;
}

KeySources::KeySources(std::vector<KeySource*> sources, std::function<qint64()> nowMs)
    : sources_(std::move(sources)), nowMs_(std::move(nowMs)), polled_(sources_.size()),
      lastPressFrom_(sources_.size()) {
    if (!nowMs_) {
        nowMs_ = [clock = std::make_shared<QElapsedTimer>()] {
            if (!clock->isValid())
                clock->start();
            return clock->elapsed();
        };
    }
}

KeySources::~KeySources() {
    for (KeySource* source : sources_)
        source->setHandler({});
}

std::optional<QString> KeySources::problem() const {
    return sources_.empty() ? std::nullopt : sources_.front()->problem();
}

bool KeySources::queryF8Pressed() {
    // Asked at every tick: the answers go into a vector kept for it, with no allocation.
    bool pressed = false;
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        polled_[i] = sources_[i]->queryF8Pressed(); // every source's "since" is consumed
        pressed = pressed || polled_[i];
    }
    if (pressed)
        lastPressFrom_.swap(polled_);
    return pressed;
}

bool KeySources::lastPressOnlyFrom(const KeySource* source) const {
    bool only = false;
    for (std::size_t i = 0; i < lastPressFrom_.size(); ++i) {
        if (lastPressFrom_[i] && sources_[i] != source)
            return false;
        only = only || (lastPressFrom_[i] && sources_[i] == source);
    }
    return only;
}

void KeySources::setHandler(std::function<void(KeyActivity)> handler) {
    handler_ = std::move(handler);
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        if (handler_)
            sources_[i]->setHandler([this, i](KeyActivity activity) { onActivity(i, activity); });
        else
            sources_[i]->setHandler({});
    }
}

void KeySources::onActivity(std::size_t source, KeyActivity activity) {
    if (activity == KeyActivity::F8Pressed) {
        const qint64 now = nowMs_();
        const bool samePress =
            lastReportMs_ && lastReporter_ != source && now - *lastReportMs_ < kSamePressMs;
        if (samePress) {
            sources_[source]->queryF8Pressed(); // already answered through the other source
            return;
        }
        lastReportMs_ = now;
        lastReporter_ = source;
    }
    if (handler_)
        handler_(activity);
}

} // namespace qlq
