#pragma once

#include "platform/clipboard_writer.h"

namespace qlq {

// Puts the text on the Windows clipboard at once and whole (no delayed rendering), so the target
// reads it without a word from this program's message loop, and Ctrl+V can follow at once.
class Win32ClipboardWriter : public ClipboardWriter {
public:
    Win32ClipboardWriter();
    ~Win32ClipboardWriter() override;
    Win32ClipboardWriter(const Win32ClipboardWriter&) = delete;
    Win32ClipboardWriter& operator=(const Win32ClipboardWriter&) = delete;

    Take take(const QString& text) override;
    std::optional<QString> confirm() override { return std::nullopt; }
    void whenSettled(std::function<void(std::optional<QString>)> verdict) override;
    void setSettledHandler(std::function<void()>) override {}

private:
    void* window_ = nullptr; // a message-only window: the clipboard needs an owner
    unsigned long sequence_ = 0;
    QString text_;
};

} // namespace qlq
