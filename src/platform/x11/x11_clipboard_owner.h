#pragma once

#include "platform/clipboard_writer.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include <xcb/xcb.h>

namespace qlq {

class X11PressConnection;

// Owns CLIPBOARD on the press path's connection and serves the text from its event thread. It
// takes the clipboard without flushing, so that Ctrl+V leaves in the same flush, and then
// watches who owns the clipboard until the target has had its chance to fetch the text:
// clipboard managers take it back a few milliseconds later, mostly with the same text, and a
// program that puts other text there must not get a reply sent.
class X11ClipboardOwner : public QObject, public ClipboardWriter {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    // How long after the paste another owner may still take over before the target reads.
    static constexpr std::chrono::milliseconds kSettle{80};
    // How long a paste waits for the target to fetch the text before Ctrl+Enter is given up.
    static constexpr std::chrono::milliseconds kSettleLimit{1000};
    // A new owner this soon after our take is a program that takes the clipboard back.
    static constexpr std::chrono::milliseconds kRetakeWindow{400};

    // `serverTime`: the latest X server time the program has seen (the F8 event's, say).
    X11ClipboardOwner(X11PressConnection& connection, std::function<uint32_t()> serverTime);
    ~X11ClipboardOwner() override;

    std::optional<QString> problem() const override;
    Take take(const QString& text) override;
    std::optional<QString> confirm() override;
    void whenSettled(std::function<void(std::optional<QString>)> verdict) override;
    void setSettledHandler(std::function<void()> handler) override;

    // The event thread's share: every event of the connection, and its deadline.
    void handleEvent(const xcb_generic_event_t& event);
    void handleTimeout();

    // At exit: while the clipboard is ours, keep serving for up to `limit`.
    void serveBeforeExit(std::chrono::milliseconds limit);
    // The text we hold, when the clipboard is ours.
    std::optional<QString> ownText() const;

private:
    struct Offer {
        QString text;
        QByteArray utf8;
        uint32_t acquiredAt = 0;
        unsigned generation = 0;
    };
    // Who had the clipboard since the latest take, and what the target could fetch from whom.
    struct Watch {
        unsigned generation = 0;
        bool careful = false;   // the take settles before Ctrl+V goes
        bool confirmed = false; // the server made us the owner
        Clock::time_point takenAt;
        Clock::time_point since; // the take; once Ctrl+V went, the paste
        bool afterPaste = false;
        bool ownedAtPaste = true;        // not a program holding our text in our place
        uint32_t targetClient = 0;       // the focused program's client; 0 when unknown
        std::vector<uint32_t> fetchedBy; // clients our text was handed to since `since`
        bool changed = false;            // another program took the clipboard since `since`
        bool verifying = false;
        Clock::time_point verifyingSince;
        bool sameTextOwner = false; // the program holding it now hands out our text
        std::optional<QString> doubt;
        bool decided = false;
        std::function<void(std::optional<QString>)> verdict;
    };
    struct Outgoing { // a text sent in parts (INCR)
        QByteArray data;
        qsizetype sent = 0;
        xcb_atom_t type = XCB_NONE;
        Clock::time_point lastActivity;
    };

    void takeNow(const QString& text, bool careful);
    void answer(const xcb_selection_request_event_t& request);
    bool sendProperty(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t target);
    void continueOutgoing(xcb_window_t requestor, xcb_atom_t property);
    void ownerChanged(xcb_window_t owner, uint32_t timestamp);
    void noteRetake(Clock::duration after);
    void readBackArrived(xcb_atom_t property);
    void readBackPart();
    void finishReadBack(std::optional<QByteArray> text);
    void evaluate();
    void decide(const std::optional<QString>& verdict);
    Clock::duration settleTime() const;

    X11PressConnection& connection_;
    std::function<uint32_t()> serverTime_;
    mutable std::mutex mutex_;
    std::optional<Offer> offer_;
    bool own_ = false;
    uint32_t lastChange_ = 0;
    unsigned generation_ = 0;
    std::optional<Watch> watch_;
    // Another program takes the clipboard back after each take of ours (a clipboard manager):
    // pastes wait until it has, so the target reads everything from one owner.
    bool retaker_ = false;
    Clock::duration retakeDelay_{}; // the longest it took so far
    // The last change of owner between other programs: a manager shows itself there too.
    Clock::time_point lastForeignChange_;
    uint32_t lastForeignClient_ = 0;
    std::map<std::pair<xcb_window_t, xcb_atom_t>, Outgoing> outgoing_;
    bool readingBack_ = false; // an owner's text arriving in parts
    QByteArray readBack_;
    std::function<void()> settledHandler_;
};

} // namespace qlq
