#pragma once

#include "platform/clipboard_writer.h"
#include "platform/key_source.h"
#include "platform/typist.h"

#include <QString>

#include <functional>
#include <optional>

namespace qlq {

// What became of one delivery.
struct DeliveryResult {
    enum class Outcome {
        Sent,             // Ctrl+V went out with our text on the clipboard
        HeldBack,         // not now, try again later: `reason` says what holds it back
        ClipboardRefused, // the clipboard could not be ours: the press is over
        TypingRefused,    // Ctrl+V could not be typed: the press is over
    };
    Outcome outcome = Outcome::Sent;
    QString reason;
    // Sent, with Ctrl+Enter asked for: why it will not follow the paste, when it will not.
    std::optional<QString> submitWithheld;
};

// The road of one press: F8 from the key source, the text on the clipboard, Ctrl+V and, when
// asked, Ctrl+Enter. The one rule of the road lives here: no Ctrl+Enter unless the Ctrl+V surely
// went out and the target could fetch nothing but our text, because a reply must never be sent
// without its tail.
class PressPath {
public:
    PressPath(KeySource& keys, ClipboardWriter& clipboard, Typist& typist);
    ~PressPath();
    PressPath(const PressPath&) = delete;
    PressPath& operator=(const PressPath&) = delete;

    // Why F8 cannot be seen or the paste cannot be typed, or nothing.
    std::optional<QString> problem() const;
    bool queryF8Pressed() { return keys_.queryF8Pressed(); }
    void setKeyActivityHandler(std::function<void(KeyActivity)> handler);

    // Puts `text` on the clipboard and types Ctrl+V; Ctrl+Enter follows when `submit` and the
    // paste allows it, possibly a moment later (logged either way).
    DeliveryResult deliver(const QString& text, bool submit);

private:
    KeySource& keys_;
    ClipboardWriter& clipboard_;
    Typist& typist_;
    std::function<void(KeyActivity)> handler_;
    // Ctrl+Enter waiting for the clipboard to settle belongs to this delivery; a later one
    // supersedes it.
    unsigned delivery_ = 0;
};

} // namespace qlq
