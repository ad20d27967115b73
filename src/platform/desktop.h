#pragma once

#include "platform/key_sources.h"
#include "platform/press_path.h"
#include "platform/shell_services.h"

#include <memory>
#include <vector>

namespace qlq {

// A desktop, assembled from parts: the shell services the windows use, and the press path made
// of key sources, a clipboard writer and a typist. Each desktop (X11, Windows, a Wayland
// session, the fake one of the tests) builds its parts and assembles them once.
class Desktop {
public:
    virtual ~Desktop();

    virtual ShellServices& shell() = 0;
    PressPath& pressPath() { return *pressPath_; }
    // `qinglanque --insert`: one press, as if F8 were tapped.
    void requestPress() { requested_.request(); }

protected:
    Desktop();
    // `keys`: the desktop's own sources, the primary one first; the requested presses join them.
    void assemble(std::vector<KeySource*> keys, ClipboardWriter& clipboard, Typist& typist);
    // Before the parts go: nothing may call into them any more.
    void disassemble();

private:
    RequestedPresses requested_;
    std::unique_ptr<KeySources> keys_;
    std::unique_ptr<PressPath> pressPath_;
};

} // namespace qlq
