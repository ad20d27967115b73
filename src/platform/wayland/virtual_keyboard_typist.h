#pragma once

#include "platform/typist.h"

#include <QByteArray>

#include <memory>

struct wl_proxy;

namespace qlq {

class WaylandConnection;

// The keymap our keyboard brings along: three keys, on the places they have on a PC keyboard,
// so that the shortcuts come out the same under any layout the user has.
QByteArray virtualKeyboardKeymap();

// Types Ctrl+V and Ctrl+Enter on a keyboard of our own that the compositor adds to the seat
// (zwp_virtual_keyboard_v1; sway and other wlroots compositors offer it). It reaches whatever
// window has the focus, native or XWayland, and needs nobody's permission.
class VirtualKeyboardTypist : public Typist {
public:
    // Nothing when the compositor offers no virtual keyboards.
    static std::unique_ptr<VirtualKeyboardTypist> create(WaylandConnection& connection);
    ~VirtualKeyboardTypist() override;

    std::optional<QString> problem() const override { return std::nullopt; }
    // What the user holds down is not ours to see in a native window; the compositor gives the
    // window our keyboard's state (Ctrl only) while our keys go out.
    std::optional<QString> holdBack() override { return std::nullopt; }
    Typed paste() override;
    Typed submit() override;

private:
    VirtualKeyboardTypist(WaylandConnection& connection, wl_proxy* manager, wl_proxy* keyboard);
    Typed typeCtrlPlus(unsigned key, const char* what);

    WaylandConnection& connection_;
    wl_proxy* manager_;
    wl_proxy* keyboard_;
};

} // namespace qlq
