#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

struct _XDisplay;

// Another X client that owns the CLIPBOARD selection, on its own connection and thread: it
// answers like a well-behaved program (all at once, or in INCR pieces) or never at all.
class X11SelectionOwner {
public:
    enum class Answer { Never, AllAtOnce, InPieces };

    X11SelectionOwner(Answer answer, QByteArray utf8Text = {}, int pieceBytes = 64 * 1024);
    ~X11SelectionOwner();
    X11SelectionOwner(const X11SelectionOwner&) = delete;
    X11SelectionOwner& operator=(const X11SelectionOwner&) = delete;

    // Takes the selection with a server time later than any timestamp handed out before the
    // call; true when the server made us the owner.
    bool take();
    unsigned long window() const { return window_; }

private:
    void serve();

    Answer answer_;
    QByteArray text_;
    int pieceBytes_;
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    int stopPipe_[2] = {-1, -1};
    std::atomic<bool> started_{false};
    std::thread thread_;
};

// The window that owns CLIPBOARD now (0 for none), asked over a fresh connection.
unsigned long currentClipboardOwner();
