#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

struct _XDisplay;

// Another X client owning CLIPBOARD on its own connection. Without text it never answers; with
// text it sends it as UTF8_STRING in INCR pieces of 64 KB from a thread of its own.
class X11SelectionOwner {
public:
    explicit X11SelectionOwner(QByteArray incrText = {});
    ~X11SelectionOwner();

    // Takes the selection with a server time later than any handed out before; true on success.
    bool take();
    // Asked over our own connection: only while no thread serves it.
    bool owns() const;

private:
    void serve();

    QByteArray text_;
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
