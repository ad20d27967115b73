#pragma once

#include "platform/typist.h"

namespace qlq {

class X11KeyWatcher;

// Types Ctrl+V and Ctrl+Enter through XTest on the key watcher's connection. Keys are looked up
// in the server's keymap, again whenever the watcher reads that the mapping changed (it reads
// what the server sent before every paste): after a layout switch the key that typed V may type
// another letter.
class X11Typist : public Typist {
public:
    explicit X11Typist(X11KeyWatcher& watcher);

    std::optional<QString> problem() const override;
    std::optional<QString> holdBack() override;
    // Without any key that types V the physical V key is used; applications mostly take it as
    // Ctrl+V all the same, but the paste is not certain then.
    Typed paste() override;
    Typed submit() override;

    // Looks the keys up again in the server's current keymap.
    void resolveKeycodes();

private:
    bool typeCtrlPlus(unsigned keycode);

    X11KeyWatcher& watcher_;
    bool available_ = false;
    bool vKeyTypesV_ = false; // false when the physical V key stands in
    unsigned controlKeycode_ = 0;
    unsigned vKeycode_ = 0;
    unsigned enterKeycode_ = 0;
};

} // namespace qlq
