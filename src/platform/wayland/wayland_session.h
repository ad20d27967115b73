#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qlq {

// Whether the program runs in a Wayland session, on that session's XWayland: its environment
// says Wayland and the X screens are XWayland's. An X server of its own (Xvfb, a remote display)
// under a Wayland desktop is plain X11. The program stays an X11 client either way and, in a
// Wayland session, adds what native Wayland windows need.
bool isWaylandSession(const QString& waylandDisplay, const QString& sessionType,
                      const QStringList& screenNames);

// What the compositor and the desktop portal offer, found at start.
struct SessionOffer {
    bool dataControl = false;     // ext_data_control_v1 or zwlr_data_control_unstable_v1
    bool virtualKeyboard = false; // zwp_virtual_keyboard_v1
    bool globalShortcuts = false; // the GlobalShortcuts portal
    // The RemoteDesktop portal's version, 0 when it is not offered or cannot drive a keyboard.
    unsigned remoteDesktopVersion = 0;
    // The user has bound `qinglanque --insert` to a key in the desktop's own settings.
    bool insertBound = false;
};

// The parts a Wayland session's presses go through; XWayland windows keep the X11 ones (the
// keyboard watcher, the X11 clipboard, XTest) whatever is chosen here.
struct PressPlan {
    enum class Trigger {
        PortalShortcut, // the GlobalShortcuts portal reports F8
        InsertCommand,  // only `qinglanque --insert`, bound by the user, reaches native windows
    };
    enum class Clipboard {
        DataControl, // sets the selection without a focused window
        X11,         // mutter hands the X11 clipboard to native windows
    };
    enum class Typing {
        VirtualKeyboard, // a keyboard of our own on the compositor's seat
        RemoteDesktop,   // the portal types keysyms after the user allowed it
        XWaylandOnly,    // XTest: native windows get nothing
    };
    Trigger trigger = Trigger::InsertCommand;
    Clipboard clipboard = Clipboard::X11;
    Typing typing = Typing::XWaylandOnly;
    bool persistRemoteDesktop = false; // the portal keeps the user's permission with a token
};

PressPlan planPressPath(const SessionOffer& offer);

// What the user should know at start: what the session lacks for native windows and what to do
// about it; nothing when F8 works everywhere.
std::optional<QString> startupNotice(const SessionOffer& offer, const PressPlan& plan);

// Said when the portal's global shortcut could not be set up after all.
QString shortcutFailedNotice(const QString& why);
// Said when the desktop did not let the program type into native windows.
QString typingRefusedNotice(const QString& why);

} // namespace qlq
