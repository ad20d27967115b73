#pragma once

#include "platform/clipboard_writer.h"
#include "platform/typist.h"

#include <functional>
#include <memory>

namespace qlq {

// Sends each press down one of two roads on a Wayland session: the X11 one (X11 clipboard,
// XTest) when only the XInput2 watcher saw the press, so an XWayland window has the focus; the
// session's own (data-control or the X11 clipboard, a virtual keyboard or the portal) for a
// press from the portal's shortcut or `qinglanque --insert`, which reaches native and XWayland
// windows alike. The road is chosen as a delivery begins and kept for its Ctrl+Enter.
class PressRouter {
public:
    struct Parts {
        ClipboardWriter& clipboard;
        Typist& typist;
    };

    PressRouter(Parts x11, Parts session, std::function<bool()> pressSeenOnlyByX11);
    ~PressRouter();
    PressRouter(const PressRouter&) = delete;
    PressRouter& operator=(const PressRouter&) = delete;

    // What the press path is assembled from.
    ClipboardWriter& clipboard();
    Typist& typist();

private:
    class RoutedClipboard;
    class RoutedTypist;

    const Parts& chosen() const { return x11Road_ ? x11_ : session_; }
    void choose();

    Parts x11_;
    Parts session_;
    std::function<bool()> pressSeenOnlyByX11_;
    bool x11Road_ = false;
    std::unique_ptr<RoutedClipboard> clipboard_;
    std::unique_ptr<RoutedTypist> typist_;
};

} // namespace qlq
