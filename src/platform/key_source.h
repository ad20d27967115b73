#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace qlq {

// What a key source saw, reported as it happens so that the engine can answer a press at once
// instead of at the next poll.
enum class KeyActivity {
    F8Pressed, // a fresh F8 press (no auto-repeat)
    HoldEnded, // what held a paste back may be over: a modifier or F8 itself went up, or the
               // clipboard settled
};

// Where F8 presses come from: a watcher of the whole keyboard, a desktop shortcut, or a
// request of `qinglanque --insert`. F8 is only ever watched, never taken.
class KeySource {
public:
    virtual ~KeySource() = default;

    // Why this source cannot see F8, or nothing.
    virtual std::optional<QString> problem() const = 0;
    // F8 is down now, or was pressed since the previous call.
    virtual bool queryF8Pressed() = 0;
    // Called from the event loop, never from inside a query.
    virtual void setHandler(std::function<void(KeyActivity)> handler) = 0;
};

} // namespace qlq
