#include "app/one_window.h"

#include <optional>

#include "intake/hand_over.h"
#include "platform/copy_data.h"

namespace {

// A later start looks this long for the first start's window (that start may still be opening
// it, behind its own elevation prompt), and waits this long for the window's answer.
constexpr ULONGLONG kFindMilliseconds = 5000;
constexpr UINT kAnswerMilliseconds = 5000;
constexpr DWORD kLookAgainMilliseconds = 100;

BOOL CALLBACK TakeMarkedWindow(HWND window, LPARAM found) {
    if (GetPropW(window, reinterpret_cast<LPCWSTR>(kWindowProperty)) == nullptr) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND FindProgramWindow() {
    const ULONGLONG end = GetTickCount64() + kFindMilliseconds;
    for (;;) {
        HWND found = nullptr;
        EnumWindows(TakeMarkedWindow, reinterpret_cast<LPARAM>(&found));
        if (found != nullptr || GetTickCount64() >= end) {
            return found;
        }
        Sleep(kLookAgainMilliseconds);
    }
}

}  // namespace

// The window's process may come to the front: this start, begun by the user, may let it.
bool HandToOpenWindow(const std::vector<WideText>& paths) {
    std::optional<ByteString> block = HandOverBlock(paths);
    HWND window = block ? FindProgramWindow() : nullptr;
    if (window == nullptr) {
        return false;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    return SendCopyData(window, kHandOverTag, *block, kAnswerMilliseconds);
}
