#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace qlq {

// Puts the composed text on the clipboard for the paste that is typed right after it.
class ClipboardWriter {
public:
    struct Take {
        enum class Outcome {
            Ready,    // the text is there: type Ctrl+V now
            Settling, // another program is taking the clipboard too: wait for the settled handler
            Refused,  // the clipboard is not ours to use now: skip the press
        };
        Outcome outcome = Outcome::Ready;
        QString reason; // for Settling and Refused
    };

    virtual ~ClipboardWriter() = default;

    virtual std::optional<QString> problem() const { return std::nullopt; }
    virtual Take take(const QString& text) = 0;
    // Right after Ctrl+V went out: nothing when the clipboard held our text then, else why not.
    virtual std::optional<QString> confirm() = 0;
    // Calls `verdict` once, when the target of the last paste has had its chance to fetch the
    // text: nothing when all it could fetch was ours, else why not. May call it at once.
    virtual void whenSettled(std::function<void(std::optional<QString> doubt)> verdict) = 0;
    // Told when a take that was Settling may be tried again.
    virtual void setSettledHandler(std::function<void()> handler) = 0;
};

} // namespace qlq
