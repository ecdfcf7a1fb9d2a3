// Closing: WM_CLOSE fades the window out, its opacity falling to 0 while it is still shown, and
// then the dialog ends (the harness checks that RunProcess returns 0).

#include <string>
#include <vector>

#include "driver.h"
#include "scenarios.h"

namespace {

// What the window looked like when it began to go: when it was hidden (EndDialog hides a dialog)
// or destroyed, whichever came first. Recorded on the program's thread by a hook that only
// watches.
struct DestroyedLook {
    HWND window = nullptr;
    bool seen = false;
    int alpha = -1;
    bool visible = false;
    bool layered = false;
};

DestroyedLook g_destroyed;

bool IsHiding(const CWPSTRUCT& message) {
    return message.message == WM_WINDOWPOSCHANGING &&
           (reinterpret_cast<const WINDOWPOS*>(message.lParam)->flags & SWP_HIDEWINDOW) != 0;
}

LRESULT CALLBACK WatchWindowEnd(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && !g_destroyed.seen) {
        const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message.hwnd == g_destroyed.window &&
            (IsHiding(message) || message.message == WM_DESTROY)) {
            g_destroyed.seen = true;
            g_destroyed.alpha = AlphaOf(message.hwnd);
            g_destroyed.visible = IsWindowVisible(message.hwnd) != FALSE;
            g_destroyed.layered = (GetWindowLongA(message.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Every change of opacity the driver sees until the window is gone.
std::vector<int> WatchOpacity(HWND mainWindow) {
    std::vector<int> seen;
    const ULONGLONG end = GetTickCount64() + kWaitMilliseconds;
    while (IsWindow(mainWindow) && GetTickCount64() < end) {
        const int alpha = AlphaOf(mainWindow);
        if (alpha >= 0 && (seen.empty() || seen.back() != alpha)) {
            seen.push_back(alpha);
        }
    }
    return seen;
}

}  // namespace

void DriveClosing(HWND mainWindow) {
    Check(WaitUntil([&] { return AlphaOf(mainWindow) == 255; }),
          "the window is opaque before closing");
    g_destroyed.window = mainWindow;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchWindowEnd, nullptr,
                                   GetWindowThreadProcessId(mainWindow, nullptr));
    Check(hook != nullptr, "the driver watches the program's thread for the window's end");

    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    const std::vector<int> seen = WatchOpacity(mainWindow);
    Check(!IsWindow(mainWindow), "the main window is destroyed after WM_CLOSE");

    bool falling = true;
    for (size_t i = 1; i < seen.size(); ++i) {
        falling = falling && seen[i] < seen[i - 1];
    }
    if (!seen.empty()) {
        Note(std::to_string(seen.size()) + " opacity values seen during the fade-out, from " +
             std::to_string(seen.front()) + " down to " + std::to_string(seen.back()));
    }
    Check(falling, "the opacity only falls during the fade-out");
    Check(seen.size() >= 3, "the fade-out passes through values between opaque and transparent");
    Check(g_destroyed.seen, "the window's end (hidden or destroyed) was observed");
    Check(g_destroyed.layered && g_destroyed.alpha == 0 && g_destroyed.visible,
          "the window is layered, still shown and fully transparent (alpha " +
              std::to_string(g_destroyed.alpha) + ") when the dialog ends");
    if (hook != nullptr) {
        UnhookWindowsHookEx(hook);
    }
}
