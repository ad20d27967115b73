#pragma once

#include "platform/desktop_services.h"

struct _XDisplay;

namespace qlq {

// Types Ctrl+V and Ctrl+Enter through XTest on the key watcher's connection.
class X11KeyInjector {
public:
    explicit X11KeyInjector(_XDisplay* display);

    bool isAvailable() const { return available_; }
    // Looks the keys up again; after the keyboard mapping changed the old keycodes may mean
    // other keys.
    void resolveKeycodes();
    InjectResult sendCtrlPlus(unsigned keycode);
    unsigned pasteKeycode() const { return vKeycode_; }
    unsigned enterKeycode() const { return enterKeycode_; }

private:
    _XDisplay* display_;
    bool available_ = false;
    unsigned controlKeycode_ = 0;
    unsigned vKeycode_ = 0;
    unsigned enterKeycode_ = 0;
};

} // namespace qlq
