#include "platform/x11/x11_clipboard_owner.h"

#include "config/log_categories.h"
#include "platform/x11/x11_press_connection.h"

#include <xcb/xfixes.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace qlq {
namespace {

using Clock = X11ClipboardOwner::Clock;
using Atom = X11PressConnection::Atom;

// X server times are milliseconds that wrap around after 49 days.
bool later(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b) > 0;
}

// Texts larger than this go in parts, as every X program expects.
constexpr uint32_t kIncrThreshold = 256 * 1024;
// A transfer in parts that the requestor stopped taking is dropped after this.
constexpr std::chrono::seconds kStalledTransfer{5};
constexpr std::chrono::milliseconds kReadBackLimit{500};

} // namespace

X11ClipboardOwner::X11ClipboardOwner(X11PressConnection& connection,
                                     std::function<uint32_t()> serverTime)
    : connection_(connection), serverTime_(std::move(serverTime)) {}

X11ClipboardOwner::~X11ClipboardOwner() = default;

std::optional<QString> X11ClipboardOwner::problem() const {
    if (!connection_.ok())
        return QStringLiteral("无法连接显示服务器，剪贴板不可用");
    return std::nullopt;
}

ClipboardWriter::Take X11ClipboardOwner::take(const QString& text) {
    if (!connection_.ok())
        return {Take::Outcome::Refused, QStringLiteral("no connection to the X server")};
    static const QString settling = QStringLiteral(
        "waiting for the clipboard to settle: another program takes it back after us");
    std::lock_guard lock(mutex_);
    if (!retaker_) {
        takeNow(text, false); // Ctrl+V follows in the same flush
        return {};
    }
    // A clipboard manager takes every new text back: this paste waits until it has, so that the
    // target reads the list of formats and the text from one owner, and goes only with our
    // text there.
    if (watch_ && watch_->careful && !watch_->afterPaste && offer_ && offer_->text == text &&
        watch_->generation == offer_->generation) {
        if (!watch_->decided)
            return {Take::Outcome::Settling, settling};
        if (watch_->doubt) {
            const QString doubt = *watch_->doubt;
            watch_.reset(); // this press is over; the next one takes the clipboard anew
            return {Take::Outcome::Refused, doubt};
        }
        return {};
    }
    takeNow(text, true);
    xcb_flush(connection_.connection());
    return {Take::Outcome::Settling, settling};
}

void X11ClipboardOwner::takeNow(const QString& text, bool careful) {
    // The F8 event's time, or a later one seen since: a time the server has passed, and not
    // before the clipboard's last change, so the server grants it.
    uint32_t time = serverTime_();
    if (later(lastChange_, time))
        time = lastChange_;
    offer_ = Offer{text, text.toUtf8(), time, ++generation_};
    if (watch_ && watch_->verdict) // an earlier paste still waited for its verdict
        QMetaObject::invokeMethod(
            this,
            [done = std::move(watch_->verdict)] {
                done(QStringLiteral("a newer press took the clipboard first"));
            },
            Qt::QueuedConnection);
    watch_ = Watch{};
    watch_->generation = generation_;
    watch_->careful = careful;
    watch_->takenAt = watch_->since = Clock::now();
    own_ = true;
    xcb_set_selection_owner(connection_.connection(), connection_.window(),
                            connection_.atom(Atom::Clipboard), time);
    if (careful)
        connection_.wakeAt(watch_->since + settleTime());
}

std::optional<QString> X11ClipboardOwner::confirm() {
    // Who owns the clipboard now, and who has the keyboard focus: the program that reads the
    // text for the paste. Both answers come in one round trip, after the keys are out.
    xcb_connection_t* c = connection_.connection();
    const xcb_get_selection_owner_cookie_t ownerQuestion =
        xcb_get_selection_owner(c, connection_.atom(Atom::Clipboard));
    const xcb_get_input_focus_cookie_t focusQuestion = xcb_get_input_focus(c);
    xcb_get_selection_owner_reply_t* ownerReply =
        xcb_get_selection_owner_reply(c, ownerQuestion, nullptr);
    xcb_get_input_focus_reply_t* focusReply = xcb_get_input_focus_reply(c, focusQuestion, nullptr);
    connection_.nudge();
    const xcb_window_t owner = ownerReply ? ownerReply->owner : XCB_NONE;
    const xcb_window_t focus = focusReply ? focusReply->focus : XCB_NONE;
    std::free(ownerReply);
    std::free(focusReply);
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    {
        std::lock_guard lock(mutex_);
        // Without a real window of a program in focus (a native Wayland window under XWayland,
        // say), whoever fetches the text counts as the target.
        if (watch_ && focus != XCB_NONE && focus != XCB_INPUT_FOCUS_POINTER_ROOT && focus != root)
            watch_->targetClient = focus & ~setup->resource_id_mask;
        if (owner == connection_.window() || (watch_ && !watch_->ownedAtPaste))
            return std::nullopt;
    }
    // Either the server refused our time (another program changed the clipboard after it) or a
    // program took it back at once; the events sent before this reply tell which.
    connection_.waitUntilHandled(std::chrono::milliseconds(100));
    std::lock_guard lock(mutex_);
    if (watch_ && watch_->confirmed)
        return std::nullopt;
    own_ = false;
    return QStringLiteral("the X server gave the clipboard to another program");
}

void X11ClipboardOwner::whenSettled(std::function<void(std::optional<QString>)> verdict) {
    std::lock_guard lock(mutex_);
    if (!watch_) {
        verdict(QStringLiteral("nothing was put on the clipboard"));
        return;
    }
    // The target reads only now; a careful take may have settled on a manager holding our text.
    watch_->afterPaste = true;
    watch_->ownedAtPaste = own_;
    watch_->decided = false;
    watch_->changed = false;
    watch_->fetchedBy.clear();
    watch_->since = Clock::now();
    watch_->verdict = std::move(verdict);
    connection_.wakeAt(watch_->since + kSettle);
}

void X11ClipboardOwner::setSettledHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    settledHandler_ = std::move(handler);
}

void X11ClipboardOwner::handleEvent(const xcb_generic_event_t& event) {
    const uint8_t type = event.response_type & 0x7f;
    std::lock_guard lock(mutex_);
    if (type == XCB_SELECTION_REQUEST) {
        answer(reinterpret_cast<const xcb_selection_request_event_t&>(event));
    } else if (type == XCB_SELECTION_CLEAR) {
        own_ = false;
    } else if (connection_.xfixesFirstEvent() != 0 &&
               type == connection_.xfixesFirstEvent() + XCB_XFIXES_SELECTION_NOTIFY) {
        const auto& notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(event);
        if (notify.selection == connection_.atom(Atom::Clipboard))
            ownerChanged(notify.owner, notify.selection_timestamp);
    } else if (type == XCB_SELECTION_NOTIFY) {
        const auto& notify = reinterpret_cast<const xcb_selection_notify_event_t&>(event);
        if (notify.requestor == connection_.window())
            readBackArrived(notify.property);
    } else if (type == XCB_PROPERTY_NOTIFY) {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (notify.window == connection_.window()) {
            if (readingBack_ && notify.atom == connection_.atom(Atom::ReadBack) &&
                notify.state == XCB_PROPERTY_NEW_VALUE)
                readBackPart();
        } else if (notify.state == XCB_PROPERTY_DELETE) {
            continueOutgoing(notify.window, notify.atom);
        }
    }
    evaluate();
}

void X11ClipboardOwner::handleTimeout() {
    std::lock_guard lock(mutex_);
    const Clock::time_point now = Clock::now();
    std::erase_if(outgoing_, [&](const auto& entry) {
        return now - entry.second.lastActivity > kStalledTransfer;
    });
    if (!outgoing_.empty())
        connection_.wakeAt(now + std::chrono::seconds(1));
    if (watch_ && watch_->verifying) {
        if (now - watch_->verifyingSince >= kReadBackLimit)
            finishReadBack(std::nullopt);
        else
            connection_.wakeAt(watch_->verifyingSince + kReadBackLimit);
    }
    evaluate();
}

void X11ClipboardOwner::answer(const xcb_selection_request_event_t& request) {
    xcb_connection_t* c = connection_.connection();
    xcb_atom_t property = request.property != XCB_NONE ? request.property : request.target;
    const bool ours =
        offer_ && request.owner == connection_.window() &&
        request.selection == connection_.atom(Atom::Clipboard) &&
        (request.time == XCB_CURRENT_TIME || !later(offer_->acquiredAt, request.time));
    if (!ours || !sendProperty(request.requestor, property, request.target))
        property = XCB_NONE;
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(c);
}

bool X11ClipboardOwner::sendProperty(xcb_window_t requestor, xcb_atom_t property,
                                     xcb_atom_t target) {
    xcb_connection_t* c = connection_.connection();
    const auto atom = [this](Atom which) { return connection_.atom(which); };
    if (target == atom(Atom::Targets)) {
        const xcb_atom_t targets[] = {atom(Atom::Targets),    atom(Atom::Timestamp),
                                      atom(Atom::Utf8String), atom(Atom::TextPlainUtf8),
                                      atom(Atom::String),     atom(Atom::Text)};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_ATOM, 32,
                            std::size(targets), targets);
        return true;
    }
    if (target == atom(Atom::Timestamp)) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_INTEGER, 32, 1,
                            &offer_->acquiredAt);
        return true;
    }
    QByteArray data;
    xcb_atom_t type = target;
    if (target == atom(Atom::Utf8String) || target == atom(Atom::TextPlainUtf8)) {
        data = offer_->utf8;
    } else if (target == atom(Atom::Text)) {
        data = offer_->utf8;
        type = atom(Atom::Utf8String);
    } else if (target == atom(Atom::String)) {
        data = offer_->text.toLatin1();
    } else {
        return false;
    }
    if (requestor != connection_.window() && watch_ && watch_->generation == offer_->generation &&
        watch_->fetchedBy.size() < 64)
        watch_->fetchedBy.push_back(requestor & ~xcb_get_setup(c)->resource_id_mask);
    const uint32_t threshold = std::min(kIncrThreshold, connection_.maxPropertyBytes());
    if (static_cast<uint32_t>(data.size()) <= threshold) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, type, 8,
                            static_cast<uint32_t>(data.size()), data.constData());
        return true;
    }
    // In parts: the requestor deletes the property for each next part.
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, requestor, XCB_CW_EVENT_MASK, &mask);
    const auto size = static_cast<uint32_t>(data.size());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, atom(Atom::Incr), 32, 1,
                        &size);
    outgoing_[{requestor, property}] = Outgoing{std::move(data), 0, type, Clock::now()};
    connection_.wakeAt(Clock::now() + kStalledTransfer);
    return true;
}

void X11ClipboardOwner::continueOutgoing(xcb_window_t requestor, xcb_atom_t property) {
    const auto found = outgoing_.find({requestor, property});
    if (found == outgoing_.end())
        return;
    Outgoing& transfer = found->second;
    xcb_connection_t* c = connection_.connection();
    const qsizetype part =
        std::min<qsizetype>(transfer.data.size() - transfer.sent,
                            std::min(kIncrThreshold, connection_.maxPropertyBytes()));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, transfer.type, 8,
                        static_cast<uint32_t>(part), transfer.data.constData() + transfer.sent);
    transfer.sent += part;
    transfer.lastActivity = Clock::now();
    if (part == 0) { // the empty part ends the transfer
        const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(c, requestor, XCB_CW_EVENT_MASK, &none);
        outgoing_.erase(found);
    }
    xcb_flush(c);
}

void X11ClipboardOwner::ownerChanged(xcb_window_t owner, uint32_t timestamp) {
    if (later(timestamp, lastChange_) || lastChange_ == 0)
        lastChange_ = timestamp;
    if (owner == connection_.window()) {
        if (watch_ && offer_ && timestamp == offer_->acquiredAt)
            watch_->confirmed = true;
        return;
    }
    own_ = false;
    const Clock::time_point now = Clock::now();
    const uint32_t client = owner & ~xcb_get_setup(connection_.connection())->resource_id_mask;
    // A program that takes the clipboard right after another one did is a clipboard manager,
    // whether that other one was us or a program the user copied from.
    if (watch_ && now - watch_->takenAt < kRetakeWindow)
        noteRetake(now - watch_->takenAt);
    else if (owner != XCB_NONE && lastForeignClient_ != 0 && client != lastForeignClient_ &&
             now - lastForeignChange_ < kRetakeWindow)
        noteRetake(now - lastForeignChange_);
    lastForeignChange_ = now;
    lastForeignClient_ = owner != XCB_NONE ? client : 0;
    if (!watch_ || (watch_->decided && watch_->afterPaste))
        return;              // that paste's target has read already
    watch_->decided = false; // a careful take settles again
    watch_->changed = true;
    watch_->sameTextOwner = false;
    if (owner == XCB_NONE) {
        watch_->doubt = QStringLiteral("the clipboard's owner went away before the paste was read");
        return;
    }
    // What the new owner hands out is what the target reads from now on.
    watch_->verifying = true;
    watch_->verifyingSince = Clock::now();
    readingBack_ = false;
    xcb_connection_t* c = connection_.connection();
    xcb_convert_selection(c, connection_.window(), connection_.atom(Atom::Clipboard),
                          connection_.atom(Atom::Utf8String), connection_.atom(Atom::ReadBack),
                          timestamp);
    xcb_flush(c);
    connection_.wakeAt(Clock::now() + kReadBackLimit);
}

void X11ClipboardOwner::noteRetake(Clock::duration after) {
    if (!retaker_)
        qCInfo(log::desktop,
               "a program takes the clipboard back %lld ms after others: from now on each paste "
               "waits for it",
               static_cast<long long>(
                   std::chrono::duration_cast<std::chrono::milliseconds>(after).count()));
    retaker_ = true;
    retakeDelay_ = std::max(retakeDelay_, after);
}

void X11ClipboardOwner::readBackArrived(xcb_atom_t property) {
    if (!watch_ || !watch_->verifying)
        return;
    if (property == XCB_NONE) {
        finishReadBack(std::nullopt);
        return;
    }
    xcb_connection_t* c = connection_.connection();
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c,
                               xcb_get_property(c, 1, connection_.window(), property,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
                               nullptr);
    if (!reply) {
        finishReadBack(std::nullopt);
        return;
    }
    if (reply->type == connection_.atom(Atom::Incr)) {
        readingBack_ = true; // the parts follow as new values of the property
        readBack_.clear();
        std::free(reply);
        return;
    }
    const QByteArray text(static_cast<const char*>(xcb_get_property_value(reply)),
                          xcb_get_property_value_length(reply));
    std::free(reply);
    finishReadBack(text);
}

void X11ClipboardOwner::readBackPart() {
    xcb_connection_t* c = connection_.connection();
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c,
        xcb_get_property(c, 1, connection_.window(), connection_.atom(Atom::ReadBack),
                         XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
        nullptr);
    if (!reply) {
        finishReadBack(std::nullopt);
        return;
    }
    const int length = xcb_get_property_value_length(reply);
    readBack_.append(static_cast<const char*>(xcb_get_property_value(reply)), length);
    std::free(reply);
    if (length == 0)
        finishReadBack(readBack_);
}

void X11ClipboardOwner::finishReadBack(std::optional<QByteArray> text) {
    readingBack_ = false;
    readBack_.clear();
    if (!watch_ || !watch_->verifying)
        return;
    watch_->verifying = false;
    if (text && offer_ && *text == offer_->utf8) {
        watch_->sameTextOwner = true;
        return;
    }
    watch_->doubt = text ? QStringLiteral("another program put other text on the clipboard")
                         : QStringLiteral("another program took the clipboard and did not hand "
                                          "out its text");
}

X11ClipboardOwner::Clock::duration X11ClipboardOwner::settleTime() const {
    // Long enough for the clipboard manager seen so far, within reason.
    return std::clamp<Clock::duration>(retakeDelay_ + std::chrono::milliseconds(30), kSettle,
                                       kRetakeWindow);
}

void X11ClipboardOwner::evaluate() {
    if (!watch_ || watch_->decided)
        return;
    Watch& watch = *watch_;
    if (watch.doubt) {
        decide(watch.doubt);
        return;
    }
    if (watch.verifying)
        return; // handleTimeout gives up on an owner that does not answer
    const Clock::duration age = Clock::now() - watch.since;
    if (!watch.afterPaste) { // a careful take waits for the manager
        if (age < settleTime()) {
            connection_.wakeAt(watch.since + settleTime());
            return;
        }
        if (!watch.changed && retaker_) {
            retaker_ = false; // nobody took it back this time: no need to wait any more
            retakeDelay_ = {};
        }
        decide(std::nullopt);
        return;
    }
    const bool targetFetched =
        std::any_of(watch.fetchedBy.begin(), watch.fetchedBy.end(), [&](uint32_t client) {
            return watch.targetClient == 0 || client == watch.targetClient;
        });
    if (age >= kSettle) {
        // A change while the target read may have split its read between two owners (the
        // formats from one, the text from another); that reply must not go.
        if (watch.changed) {
            decide(QStringLiteral("another program took the clipboard while the focused program "
                                  "was reading it"));
            return;
        }
        if (targetFetched || (!watch.ownedAtPaste && watch.sameTextOwner)) {
            decide(std::nullopt); // all the target could fetch was ours
            return;
        }
    }
    if (age >= kSettleLimit) {
        decide(QStringLiteral("the focused program did not fetch the text within %1 ms")
                   .arg(kSettleLimit.count()));
        return;
    }
    connection_.wakeAt(watch.since + (age < kSettle ? kSettle : kSettleLimit));
}

void X11ClipboardOwner::decide(const std::optional<QString>& verdict) {
    Watch& watch = *watch_;
    watch.decided = true;
    if (watch.careful && !watch.afterPaste) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                std::function<void()> handler;
                {
                    std::lock_guard lock(mutex_);
                    handler = settledHandler_;
                }
                if (handler)
                    handler();
            },
            Qt::QueuedConnection);
        return;
    }
    if (watch.verdict) {
        QMetaObject::invokeMethod(
            this, [done = std::move(watch.verdict), verdict] { done(verdict); },
            Qt::QueuedConnection);
        watch.verdict = nullptr;
    }
}

void X11ClipboardOwner::serveBeforeExit(std::chrono::milliseconds limit) {
    const Clock::time_point until = Clock::now() + limit;
    while (Clock::now() < until) {
        {
            std::lock_guard lock(mutex_);
            if (!own_ && outgoing_.empty())
                return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::optional<QString> X11ClipboardOwner::ownText() const {
    std::lock_guard lock(mutex_);
    if (own_ && offer_)
        return offer_->text;
    return std::nullopt;
}

} // namespace qlq
