#pragma once

#include "platform/key_source.h"

#include <vector>

namespace qlq {

// Presses asked for by `qinglanque --insert`, through the running copy's socket: each request
// reads as one press, as a tap of F8 would.
class RequestedPresses : public KeySource {
public:
    void request();

    std::optional<QString> problem() const override { return std::nullopt; }
    bool queryF8Pressed() override;
    void setHandler(std::function<void(KeyActivity)> handler) override {
        handler_ = std::move(handler);
    }

private:
    bool requested_ = false;
    std::function<void(KeyActivity)> handler_;
};

// Several sources as one. A physical press that two of them report (the keyboard watcher and a
// desktop shortcut, say) is one press: a report that follows another source's within
// kSamePressMs is taken as the same press and consumed.
class KeySources : public KeySource {
public:
    static constexpr int kSamePressMs = 150;

    // The first source is the primary one: its problem is the one reported. `nowMs` is a
    // steady clock in milliseconds.
    explicit KeySources(std::vector<KeySource*> sources, std::function<qint64()> nowMs = {});
    ~KeySources() override;

    std::optional<QString> problem() const override;
    bool queryF8Pressed() override;
    void setHandler(std::function<void(KeyActivity)> handler) override;
    // Whether `source` alone reported the press the last query answered.
    bool lastPressOnlyFrom(const KeySource* source) const;

private:
    void onActivity(std::size_t source, KeyActivity activity);

    std::vector<KeySource*> sources_;
    std::function<void(KeyActivity)> handler_;
    std::function<qint64()> nowMs_;
    std::optional<qint64> lastReportMs_;
    std::size_t lastReporter_ = 0;
    std::vector<bool> polled_;
    std::vector<bool> lastPressFrom_;
};

} // namespace qlq
