#pragma once

#include "platform/desktop_services.h"

#include <QObject>

#include <functional>

class QSocketNotifier;
struct _XDisplay;

namespace qlq {

// Watches the whole desktop's keyboard through XInput2 raw events on a connection of its own.
// Raw events have no auto-repeat and are seen whoever has the focus; nothing is grabbed.
class X11KeyWatcher : public QObject {
    Q_OBJECT
public:
    X11KeyWatcher();
    ~X11KeyWatcher() override;

    bool isOpen() const { return display_ != nullptr; }
    _XDisplay* display() const { return display_; }

    // F8 down now, or pressed since the previous call.
    bool queryF8Pressed();
    // Alt, Super or AltGr down now: Ctrl+V would not paste while one of them is held.
    bool pasteBlockingModifierDown();

    void setHandler(std::function<void(KeyActivity)> handler) { handler_ = std::move(handler); }

private:
    void drain();
    void scheduleDispatch();
    void dispatch();
    bool keyDown(const char keys[32], unsigned keycode) const;

    _XDisplay* display_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    int xiOpcode_ = 0;
    unsigned f8Keycode_ = 0;
    unsigned modifierKeycodes_[8] = {};
    int modifierCount_ = 0;
    bool f8SinceQuery_ = false;
    bool pendingF8_ = false;
    bool pendingModifierRelease_ = false;
    bool dispatchScheduled_ = false;
    std::function<void(KeyActivity)> handler_;
};

} // namespace qlq
