#pragma once

#include "platform/typist.h"

#include <xcb/xcb.h>

namespace qlq {

class X11KeyWatcher;
class X11PressConnection;

// Types Ctrl+V and Ctrl+Enter through XTest on the press path's connection, right behind the
// clipboard's take. Keys are looked up in the server's keymap, again whenever it changes: after
// a layout switch the key that typed V may type another letter. The watcher says whether a paste
// must wait (a modifier held, another program holding the keyboard).
class X11Typist : public Typist {
public:
    X11Typist(X11PressConnection& connection, X11KeyWatcher& watcher);

    std::optional<QString> problem() const override;
    std::optional<QString> holdBack() override;
    // Without any key that types V the physical V key is used; applications mostly take it as
    // Ctrl+V all the same, but the paste is not certain then.
    Typed paste() override;
    Typed submit() override;

    // The keymap changed (the watcher reads that before every paste): look the keys up again.
    void resolveKeycodes();

private:
    struct Keys {
        xcb_keycode_t control = 0, v = 0, enter = 0;
        bool vTypesV = false; // false when the physical V key stands in
    };

    bool typeCtrlPlus(xcb_keycode_t key);

    X11PressConnection& connection_;
    X11KeyWatcher& watcher_;
    Keys keys_;
    bool heldBack_ = false; // the last attempt was held back: the next one checks thoroughly
};

} // namespace qlq
