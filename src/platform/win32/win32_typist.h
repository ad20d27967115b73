#pragma once

#include "platform/typist.h"

namespace qlq {

class Win32KeyWatcher;

// SendInput by virtual key, the same keys in every keyboard layout; Alt or a Windows key held
// holds the paste back.
class Win32Typist : public Typist {
public:
    explicit Win32Typist(Win32KeyWatcher& watcher) : watcher_(watcher) {}

    std::optional<QString> problem() const override { return std::nullopt; }
    std::optional<QString> holdBack() override;
    Typed paste() override;
    Typed submit() override;

private:
    Win32KeyWatcher& watcher_;
};

} // namespace qlq
