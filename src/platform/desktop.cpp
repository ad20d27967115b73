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

void Desktop::disassemble() {
    pressPath_.reset();
    keys_.reset();
}

} // namespace qlq
