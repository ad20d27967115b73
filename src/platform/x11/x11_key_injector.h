#pragma once

#include "platform/desktop_services.h"

struct _XDisplay;

namespace qlq {

// Types Ctrl+V and Ctrl+Enter through XTest on the key watcher's connection. Keys are looked up
// in the server's keymap, again whenever the watcher reads that the mapping changed (it reads
// what the server sent before every paste): after a layout switch the key that typed V may type
// another letter.
class X11KeyInjector {
public:
    explicit X11KeyInjector(_XDisplay* display);

    bool isAvailable() const { return available_; }
    // Looks the keys up again in the server's current keymap.
    void resolveKeycodes();
    // Ctrl+V. Without any key that types V the physical V key is used; applications mostly
    // take it as Ctrl+V all the same, but nothing is certain then.
    InjectResult sendPaste();
    // Ctrl+Enter, once, after a Ctrl+V whose key types V now: a reply must not go without its
    // tail.
    InjectResult sendSubmit();

private:
    InjectResult sendCtrlPlus(unsigned keycode);

    _XDisplay* display_;
    bool available_ = false;
    bool pasteCertain_ = false;
    bool vKeyTypesV_ = false; // false when the physical V key stands in
    unsigned controlKeycode_ = 0;
    unsigned vKeycode_ = 0;
    unsigned enterKeycode_ = 0;
};

} // namespace qlq
