#pragma once

#include "platform/key_sources.h"
#include "platform/press_path.h"
#include "platform/shell_services.h"

#include <QStringList>

#include <functional>
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
    // What the user should know or do so that F8 works everywhere on this desktop (bind a key,
    // allow a request), beside the press path's problem: told at once when known at start,
    // later when the desktop refuses something.
    void setNoticeHandler(std::function<void(const QString&)> handler);

protected:
    Desktop();
    // The merged sources, for a desktop that asks which of its own reported a press.
    const KeySources& keySources() const { return *keys_; }
    // Tells the user, now or as soon as the program listens.
    void notify(const QString& text);
    // `keys`: the desktop's own sources, the primary one first; the requested presses join them.
    void assemble(std::vector<KeySource*> keys, ClipboardWriter& clipboard, Typist& typist);
    // Before the parts go: nothing may call into them any more.
    void disassemble();

private:
    RequestedPresses requested_;
    std::function<void(const QString&)> noticeHandler_;
    QStringList pendingNotices_;
    std::unique_ptr<KeySources> keys_;
    std::unique_ptr<PressPath> pressPath_;
};

} // namespace qlq
