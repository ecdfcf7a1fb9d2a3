// e2e_close.exe: closes a running rebootdel.exe the way a user's click on the close box does. It
// finds the main window by its caption, waits for the fade-in to end, posts WM_CLOSE and waits for
// the window to go. Exit code 0 when all of that happened in time.

#include <windows.h>

#include <cstdio>

#include "layered_alpha.h"

namespace {

constexpr DWORD kPollMilliseconds = 50;
constexpr ULONGLONG kFindMilliseconds = 30000;
constexpr ULONGLONG kCloseMilliseconds = 20000;

HWND WaitForOpaqueMainWindow() {
    const ULONGLONG end = GetTickCount64() + kFindMilliseconds;
    while (GetTickCount64() < end) {
        // By the caption in UTF-16, which is the same on every code page.
        HWND window = FindWindowW(L"#32770", L"重启删除文件 -- quorvel");
        if (window != nullptr && IsWindowVisible(window) && AlphaOf(window) == 255) {
            return window;
        }
        Sleep(kPollMilliseconds);
    }
    return nullptr;
}

bool WaitUntilGone(HWND window) {
    const ULONGLONG end = GetTickCount64() + kCloseMilliseconds;
    while (IsWindow(window)) {
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(kPollMilliseconds);
    }
    return true;
}

}  // namespace

int main() {
    HWND window = WaitForOpaqueMainWindow();
    if (window == nullptr) {
        std::printf("FAIL: no opaque main window with the program's caption\n");
        return 1;
    }
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    std::printf("%s: the running program's window is layered and accepts files\n",
                (exStyle & WS_EX_LAYERED) && (exStyle & WS_EX_ACCEPTFILES) ? "PASS" : "FAIL");
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!WaitUntilGone(window)) {
        std::printf("FAIL: the main window is still there after WM_CLOSE\n");
        return 1;
    }
    std::printf("PASS: the main window went away after WM_CLOSE\n");
    return (exStyle & WS_EX_LAYERED) && (exStyle & WS_EX_ACCEPTFILES) ? 0 : 1;
}
