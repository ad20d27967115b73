#include "platform/press_path.h"

#include "config/log_categories.h"

namespace qlq {

PressPath::PressPath(KeySource& keys, ClipboardWriter& clipboard, Typist& typist)
    : keys_(keys), clipboard_(clipboard), typist_(typist) {
    clipboard_.setSettledHandler([this] {
        if (handler_)
            handler_(KeyActivity::HoldEnded);
    });
}

PressPath::~PressPath() {
    clipboard_.setSettledHandler({});
    keys_.setHandler({});
}

std::optional<QString> PressPath::problem() const {
    if (std::optional<QString> problem = keys_.problem())
        return problem;
    if (std::optional<QString> problem = typist_.problem())
        return problem;
    return clipboard_.problem();
}

void PressPath::setKeyActivityHandler(std::function<void(KeyActivity)> handler) {
    handler_ = std::move(handler);
    if (handler_)
        keys_.setHandler([this](KeyActivity activity) { handler_(activity); });
    else
        keys_.setHandler({});
}

DeliveryResult PressPath::deliver(const QString& text, bool submit) {
    using Outcome = DeliveryResult::Outcome;
    if (std::optional<QString> hold = typist_.holdBack())
        return {Outcome::HeldBack, *hold, std::nullopt};
    const ClipboardWriter::Take take = clipboard_.take(text);
    switch (take.outcome) {
    case ClipboardWriter::Take::Outcome::Refused:
        return {Outcome::ClipboardRefused, take.reason, std::nullopt};
    case ClipboardWriter::Take::Outcome::Settling:
        return {Outcome::HeldBack, take.reason, std::nullopt};
    case ClipboardWriter::Take::Outcome::Ready:
        break;
    }
    const Typist::Typed paste = typist_.paste();
    if (!paste.sent)
        return {Outcome::TypingRefused, paste.note, std::nullopt};
    if (std::optional<QString> lost = clipboard_.confirm())
        return {Outcome::ClipboardRefused, *lost, std::nullopt};

    DeliveryResult sent{Outcome::Sent, QString(), std::nullopt};
    const unsigned delivery = ++delivery_;
    if (!submit)
        return sent;
    if (!paste.certain) {
        sent.submitWithheld = paste.note;
        return sent;
    }
    clipboard_.whenSettled([this, delivery](std::optional<QString> doubt) {
        if (delivery != delivery_) {
            qCInfo(log::insert, "Ctrl+Enter withheld: a newer press took the clipboard first");
            return;
        }
        if (doubt) {
            qCInfo(log::insert, "Ctrl+Enter withheld: %ls", qUtf16Printable(*doubt));
            return;
        }
        const Typist::Typed enter = typist_.submit();
        if (enter.sent)
            qCDebug(log::insert, "sent Ctrl+Enter");
        else
            qCInfo(log::insert, "Ctrl+Enter could not be typed: %ls", qUtf16Printable(enter.note));
    });
    return sent;
}

} // namespace qlq
