#pragma once

#include <QString>

#include <optional>

namespace qlq {

// Types Ctrl+V and Ctrl+Enter into whatever window has the keyboard focus.
class Typist {
public:
    struct Typed {
        bool sent = false;    // the keys went out
        bool certain = false; // and they surely are the shortcut (the layout has a key for V)
        QString note;         // why not sent, or why not certain
    };

    virtual ~Typist() = default;

    // Why nothing can be typed on this desktop, or nothing.
    virtual std::optional<QString> problem() const = 0;
    // Why a paste typed now would not reach the reply (a modifier the user holds, another
    // program holding the keyboard), or nothing. Asked before the clipboard is taken.
    virtual std::optional<QString> holdBack() = 0;
    virtual Typed paste() = 0;  // Ctrl+V
    virtual Typed submit() = 0; // Ctrl+Enter
};

} // namespace qlq
