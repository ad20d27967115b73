#pragma once

#include "platform/key_source.h"

#include <QObject>

#include <chrono>
#include <functional>

namespace qlq {

// Watches F8 the way Windows programs do: GetAsyncKeyState at every poll, plus a low-level
// keyboard hook that only looks (every key goes on to the next hook) so that a press is
// answered at once. Nothing is taken from the program the user types in.
class Win32KeyWatcher : public QObject, public KeySource {
    Q_OBJECT
public:
    Win32KeyWatcher();
    ~Win32KeyWatcher() override;

    // Whether the hook is in place; without it presses are still seen at the next poll.
    bool hooked() const { return hook_ != nullptr; }

    // Without the hook the 500 ms poll still sees every press.
    std::optional<QString> problem() const override { return std::nullopt; }
    // Any non-zero key state: down now, or pressed since the previous call.
    bool queryF8Pressed() override;
    // Alt or a Windows key down now: Ctrl+V would not paste while one of them is held.
    bool pasteBlockingModifierDown() const;

    // Called from the event loop, never from inside the hook.
    void setHandler(std::function<void(KeyActivity)> handler) override {
        handler_ = std::move(handler);
    }

    // What the hook saw: a key went down or up.
    void observeKey(unsigned long virtualKey, bool down);

    using Clock = std::chrono::steady_clock;
    // When the hook last saw F8 go down: the start of the press path, for the log.
    Clock::time_point lastF8Seen() const { return lastF8Seen_; }

private:
    void report(KeyActivity activity);

    void* hook_ = nullptr;
    bool f8Down_ = false;
    Clock::time_point lastF8Seen_;
    std::function<void(KeyActivity)> handler_;
};

} // namespace qlq
