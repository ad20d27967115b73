// A plain Windows edit control (notepad's kind) for timing F8 -> text under Wine: each change of
// its text appends one line to the file named by QLQ_PASTE_LOG, which the driver watches on its
// own clock, so no clocks need to agree.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

FILE* changes = nullptr;
HWND edit = nullptr;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        edit = CreateWindowExW(0, L"EDIT", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                               0, 0, 480, 320, window, nullptr, nullptr, nullptr);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE && changes) {
            std::fprintf(changes, "%d\n", GetWindowTextLengthW(edit));
            std::fflush(changes);
        }
        return 0;
    case WM_SETFOCUS:
        SetFocus(edit);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    if (const char* path = std::getenv("QLQ_PASTE_LOG"))
        changes = std::fopen(path, "a");
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QlqPasteTarget";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"QlqPasteTarget", L"paste target", WS_OVERLAPPEDWINDOW, 0, 0, 500,
                                360, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
