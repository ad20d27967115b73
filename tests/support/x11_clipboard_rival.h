#pragma once

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <thread>

// Another program on the clipboard, on a connection and thread of its own.
class X11ClipboardRival {
public:
    enum class Kind {
        Silent,    // takes the clipboard at once and never answers for it
        SameText,  // a clipboard manager: reads each new text, then takes it back with it
        OtherText, // takes the clipboard back with a text of its own
    };

    // Retakers act `delay` after seeing another program take the clipboard.
    explicit X11ClipboardRival(Kind kind, std::chrono::milliseconds delay = {},
                               QByteArray ownText = "rival");
    ~X11ClipboardRival();
    X11ClipboardRival(const X11ClipboardRival&) = delete;
    X11ClipboardRival& operator=(const X11ClipboardRival&) = delete;

    int retakes() const { return retakes_; }

private:
    void run();

    Kind kind_;
    std::chrono::milliseconds delay_;
    QByteArray text_;
    std::atomic<int> retakes_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> ready_{false};
    std::thread thread_;
};
