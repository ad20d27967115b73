#pragma once

struct _XDisplay;

// Another X client that takes CLIPBOARD on its own connection and never answers for it.
class X11SelectionOwner {
public:
    X11SelectionOwner();
    ~X11SelectionOwner();
    X11SelectionOwner(const X11SelectionOwner&) = delete;
    X11SelectionOwner& operator=(const X11SelectionOwner&) = delete;

    // Takes the selection with a server time later than any handed out before; true on success.
    bool take();
    bool owns() const;

private:
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
};
