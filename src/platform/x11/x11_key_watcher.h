#pragma once

#include "platform/key_source.h"

#include <QObject>

#include <bitset>
#include <chrono>
#include <functional>
#include <optional>

class QSocketNotifier;
struct _XDisplay;

namespace qlq {

// Watches the whole desktop's keyboard through XInput2 raw events on a connection of its own.
// Raw events have no auto-repeat and are seen whoever has the focus; nothing is grabbed. The
// state of F8 and of the modifiers is kept from the events, so an idle poll costs no round trip
// to the server; a key that reads as held is confirmed with the server before it counts.
class X11KeyWatcher : public QObject, public KeySource {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    // `displayName` is the display the program's windows are on.
    explicit X11KeyWatcher(const char* displayName);
    ~X11KeyWatcher() override;

    std::optional<QString> problem() const override { return problem_; }
    _XDisplay* display() const { return display_; }

    bool queryF8Pressed() override;
    // Alt, Super or AltGr down now: Ctrl+V would not paste while one of them is held.
    bool pasteBlockingModifierDown();
    // F8 down now, as far as the events read so far tell.
    bool f8Down();
    // Whether another program has a shortcut on F8 (a passive grab), as found when the program
    // started and after each F8 release. While F8 is down, such a program holds the keyboard.
    bool f8GrabbedElsewhere() const { return f8GrabbedElsewhere_; }
    // Whether another program holds the keyboard now, so that typed keys would go to it: a
    // trial grab of our own fails then (a round trip).
    bool keyboardGrabbedElsewhere();
    // The X server's time of the latest key event read: a time the server has passed.
    uint32_t serverTime() const { return serverTime_; }
    // When the last F8 press was read from the server.
    Clock::time_point lastF8Seen() const { return lastF8Seen_; }

    void setHandler(std::function<void(KeyActivity)> handler) override {
        handler_ = std::move(handler);
    }
    // Called when the server's keyboard mapping changed.
    void setMappingChangedHandler(std::function<void()> handler) {
        mappingChanged_ = std::move(handler);
    }

private:
    struct Seen {
        bool f8Pressed = false;
        bool holdingKeyReleased = false; // a modifier or F8: a held-back paste may go now
    };

    Seen readEvents();
    void onSocketReadable();
    void probeF8Grab();
    void resolveKeycodes();
    // Asks the server which keys are down and takes its answer as the truth.
    void refreshFromServer();
    bool modifierDown() const;

    _XDisplay* display_ = nullptr;
    std::optional<QString> problem_;
    QSocketNotifier* notifier_ = nullptr;
    int xiOpcode_ = 0;
    unsigned f8Keycode_ = 0;
    unsigned modifierKeycodes_[8] = {};
    int modifierCount_ = 0;
    std::bitset<256> down_;
    bool f8SinceQuery_ = false;
    bool f8GrabbedElsewhere_ = false;
    bool probeDue_ = false;
    uint32_t serverTime_ = 0;
    Clock::time_point lastF8Seen_;
    std::function<void(KeyActivity)> handler_;
    std::function<void()> mappingChanged_;
};

} // namespace qlq
