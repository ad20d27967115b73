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
    std::lock_guard lock(mutex_);
    if (rival_ != Rival::OtherText) {
        takeNow(text, false); // Ctrl+V follows in the same flush
        return {};
    }
    // Another program took the clipboard back with text of its own after an earlier paste: this
    // paste waits until the clipboard has settled, and goes only with our text there.
    if (watch_ && watch_->careful && offer_ && offer_->text == text &&
        watch_->generation == offer_->generation) {
        if (!watch_->decided)
            return {Take::Outcome::Settling,
                    QStringLiteral("waiting for the clipboard to settle: another program takes "
                                   "it back after us")};
        if (watch_->doubt) {
            const QString doubt = *watch_->doubt;
            watch_.reset(); // this press is over; the next one takes the clipboard anew
            return {Take::Outcome::Refused, doubt};
        }
        return {};
    }
    takeNow(text, true);
    xcb_flush(connection_.connection());
    return {Take::Outcome::Settling,
            QStringLiteral("waiting for the clipboard to settle: another program takes it back "
                           "after us")};
}

void X11ClipboardOwner::takeNow(const QString& text, bool careful) {
    // The F8 event's time, or a later one seen since: a time the server has passed, and not
    // before the clipboard's last change, so the server grants it.
    uint32_t time = serverTime_();
    if (later(lastChange_, time))
        time = lastChange_;
    offer_ = Offer{text, text.toUtf8(), time, ++generation_};
    Watch watch;
    watch.generation = generation_;
    watch.careful = careful;
    watch.since = Clock::now();
    if (watch_ && watch_->verdict) // an earlier paste still waited for its verdict
        QMetaObject::invokeMethod(
            this,
            [done = std::move(watch_->verdict)] {
                done(QStringLiteral("a newer press took the clipboard first"));
            },
            Qt::QueuedConnection);
    watch_ = std::move(watch);
    own_ = true;
    xcb_set_selection_owner(connection_.connection(), connection_.window(),
                            connection_.atom(Atom::Clipboard), time);
    if (careful)
        scheduleWake();
}

std::optional<QString> X11ClipboardOwner::confirm() {
    xcb_connection_t* c = connection_.connection();
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, connection_.atom(Atom::Clipboard)), nullptr);
    connection_.nudge();
    const xcb_window_t owner = reply ? reply->owner : XCB_NONE;
    std::free(reply);
    if (owner == connection_.window())
        return std::nullopt;
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
    {
        std::lock_guard lock(mutex_);
        if (!watch_) {
            verdict(QStringLiteral("nothing was put on the clipboard"));
            return;
        }
        // A careful take settled before Ctrl+V; the target reads only now.
        watch_->afterPaste = true;
        watch_->decided = false;
        watch_->served = 0;
        watch_->since = Clock::now();
        watch_->verdict = std::move(verdict);
    }
    scheduleWake();
}

void X11ClipboardOwner::setSettledHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    settledHandler_ = std::move(handler);
}

void X11ClipboardOwner::scheduleWake() {
    // Called with or without the lock; reading watch_ needs it only for `since`.
    connection_.wakeAt(Clock::now() + kSettle);
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
    if (requestor != connection_.window() && watch_ && watch_->generation == offer_->generation)
        ++watch_->served;
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
    if (!watch_)
        return;
    if (owner == connection_.window()) {
        if (offer_ && timestamp == offer_->acquiredAt)
            watch_->confirmed = true;
        return;
    }
    own_ = false;
    if (watch_->decided && watch_->afterPaste)
        return;              // that paste's target has read already
    watch_->decided = false; // a careful take settles again
    if (owner == XCB_NONE) {
        watch_->doubt = QStringLiteral("the clipboard's owner went away before the paste was read");
        return;
    }
    // Another program took the clipboard after us: what it holds now is what the target reads.
    watch_->retaken = true;
    watch_->sameTextOwner = false;
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
    const bool same = text && offer_ && *text == offer_->utf8;
    const bool soonAfterTake = Clock::now() - watch_->since < kRetakeWindow + kSettle;
    if (same) {
        watch_->sameTextOwner = true;
        if (soonAfterTake)
            rival_ = Rival::SameText;
        return;
    }
    watch_->doubt = text ? QStringLiteral("another program put other text on the clipboard "
                                          "before the paste was read")
                         : QStringLiteral("another program took the clipboard and did not hand "
                                          "out its text");
    if (soonAfterTake && rival_ != Rival::OtherText) {
        rival_ = Rival::OtherText;
        qCInfo(log::desktop, "another program takes the clipboard back with other text: from now "
                             "on each paste waits for the clipboard to settle");
    }
}

void X11ClipboardOwner::evaluate() {
    if (!watch_ || watch_->decided)
        return;
    Watch& watch = *watch_;
    const Clock::duration age = Clock::now() - watch.since;
    std::optional<QString> verdict;
    if (watch.doubt) {
        verdict = watch.doubt;
    } else if (watch.verifying) {
        return;
    } else if (age >= kSettle && (!watch.afterPaste || watch.served > 0 || watch.sameTextOwner)) {
        verdict = std::nullopt; // all the target could fetch was ours
    } else if (age >= kSettleLimit) {
        verdict = QStringLiteral("the focused program did not fetch the text within %1 ms")
                      .arg(kSettleLimit.count());
    } else {
        connection_.wakeAt(watch.since + (age < kSettle ? kSettle : kSettleLimit));
        return;
    }
    watch.decided = true;
    if (watch.careful && !watch.afterPaste) {
        if (!watch.retaken && rival_ == Rival::OtherText)
            rival_ = Rival::None; // nobody took it back this time: no need to wait any more
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
