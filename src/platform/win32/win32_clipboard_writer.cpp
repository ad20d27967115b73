#include "platform/win32/win32_clipboard_writer.h"

#include <windows.h>

#include <cstring>

namespace qlq {
namespace {

// Another program holding the clipboard open has it for a moment only.
constexpr int kOpenAttempts = 5;

bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(1);
    }
    return false;
}

std::optional<QString> clipboardText(HWND owner) {
    if (!openClipboard(owner))
        return std::nullopt;
    std::optional<QString> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = QString::fromWCharArray(chars);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace

Win32ClipboardWriter::Win32ClipboardWriter() {
    window_ = CreateWindowExW(0, L"STATIC", L"qinglanque clipboard", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
}

Win32ClipboardWriter::~Win32ClipboardWriter() {
    if (window_)
        DestroyWindow(static_cast<HWND>(window_));
}

ClipboardWriter::Take Win32ClipboardWriter::take(const QString& text) {
    const auto owner = static_cast<HWND>(window_);
    const std::wstring wide = text.toStdWString();
    const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return {Take::Outcome::Refused, QStringLiteral("no memory for the clipboard's text")};
    std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (!owner || !openClipboard(owner)) {
        GlobalFree(memory);
        return {Take::Outcome::Refused,
                QStringLiteral("the clipboard was busy; the text could not be put on it")};
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!set) {
        GlobalFree(memory); // the system took it only on success
        return {Take::Outcome::Refused,
                QStringLiteral("the clipboard refused the text (error %1)").arg(GetLastError())};
    }
    sequence_ = GetClipboardSequenceNumber();
    text_ = text;
    return {};
}

void Win32ClipboardWriter::whenSettled(std::function<void(std::optional<QString>)> verdict) {
    // The target reads while it handles Ctrl+V; a program that changed the clipboard since our
    // set may have put other text there.
    if (GetClipboardSequenceNumber() == sequence_) {
        verdict(std::nullopt);
        return;
    }
    if (clipboardText(static_cast<HWND>(window_)) == text_)
        verdict(std::nullopt);
    else
        verdict(QStringLiteral("another program put other text on the clipboard"));
}

} // namespace qlq
