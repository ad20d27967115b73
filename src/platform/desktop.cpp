#include "platform/desktop.h"

namespace qlq {

Desktop::Desktop() = default;

Desktop::~Desktop() {
    disassemble();
}

void Desktop::assemble(std::vector<KeySource*> keys, ClipboardWriter& clipboard, Typist& typist) {
    keys.push_back(&requested_);
    keys_ = std::make_unique<KeySources>(std::move(keys));
    pressPath_ = std::make_unique<PressPath>(*keys_, clipboard, typist);
}

void Desktop::setNoticeHandler(std::function<void(const QString&)> handler) {
    noticeHandler_ = std::move(handler);
    // What was known before anyone listened comes as one message.
    if (noticeHandler_ && !pendingNotices_.isEmpty())
        noticeHandler_(std::exchange(pendingNotices_, {}).join(QStringLiteral("\n\n")));
}

void Desktop::notify(const QString& text) {
    if (noticeHandler_)
        noticeHandler_(text);
    else
        pendingNotices_ << text;
}

void Desktop::disassemble() {
    pressPath_.reset();
    keys_.reset();
}

} // namespace qlq
