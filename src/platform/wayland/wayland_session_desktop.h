#pragma once

#include "platform/desktop.h"

#include <memory>

namespace qlq {

class DataControlClipboard;
class PortalShortcut;
class PressRouter;
class RemoteDesktopTypist;
class VirtualKeyboardTypist;
class WaylandConnection;
class X11ClipboardOwner;
class X11KeyWatcher;
class X11PressConnection;
class X11Shell;
class X11Typist;

// A Wayland session, for a program that stays an X11 client: the X11 parts serve XWayland
// windows as on X11, and what the session offers serves native windows (the portal's shortcut
// or `qinglanque --insert`, data-control or the X11 clipboard, a virtual keyboard or the
// portal's remote control). What is missing is told to the user once, with what to do.
class WaylandSessionDesktop : public Desktop {
public:
    static constexpr int kServeClipboardAtExitMs = 200;

    WaylandSessionDesktop();
    ~WaylandSessionDesktop() override;

    ShellServices& shell() override;

private:
    class CommittedX11Clipboard;

    std::unique_ptr<X11Shell> shell_;
    std::unique_ptr<X11KeyWatcher> watcher_;
    std::unique_ptr<X11PressConnection> x11Connection_;
    std::unique_ptr<X11ClipboardOwner> x11Clipboard_;
    std::unique_ptr<X11Typist> x11Typist_;
    std::unique_ptr<WaylandConnection> wayland_;
    std::unique_ptr<DataControlClipboard> dataControl_;
    std::unique_ptr<CommittedX11Clipboard> committedX11Clipboard_;
    std::unique_ptr<VirtualKeyboardTypist> virtualKeyboard_;
    std::unique_ptr<RemoteDesktopTypist> remoteDesktop_;
    std::unique_ptr<PortalShortcut> shortcut_;
    std::unique_ptr<PressRouter> router_;
};

} // namespace qlq
