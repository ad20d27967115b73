#include "platform/key_sources.h"

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

KeySources::KeySources(std::vector<KeySource*> sources) : sources_(std::move(sources)) {}

KeySources::~KeySources() {
    for (KeySource* source : sources_)
        source->setHandler({});
}

std::optional<QString> KeySources::problem() const {
    return sources_.empty() ? std::nullopt : sources_.front()->problem();
}

bool KeySources::queryF8Pressed() {
    bool pressed = false;
    for (KeySource* source : sources_)
        pressed = source->queryF8Pressed() || pressed; // every source's "since" is consumed
    return pressed;
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
        const bool samePress = sinceLastReport_.isValid() && lastReporter_ != source &&
                               sinceLastReport_.elapsed() < kSamePressMs;
        if (samePress) {
            sources_[source]->queryF8Pressed(); // already answered through the other source
            return;
        }
        sinceLastReport_.start();
        lastReporter_ = source;
    }
    if (handler_)
        handler_(activity);
}

} // namespace qlq
