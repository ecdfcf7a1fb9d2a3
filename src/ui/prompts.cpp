#include "ui/prompts.h"

#include <iterator>
#include <string_view>

#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

constexpr char16_t kDialogClass[] = u"#32770";

bool IsOwnedByMainWindow(HWND window) {
    for (HWND owner = GetWindow(window, GW_OWNER); owner != nullptr;
         owner = GetWindow(owner, GW_OWNER)) {
        if (owner == g_app.mainWindow) {
            return true;
        }
    }
    return false;
}

// A box or dialog that takes input in front of the main window: a close request goes to it, as
// Escape would (a question answers Cancel).
BOOL CALLBACK CloseIfInFront(HWND window, LPARAM) {
    WCHAR className[sizeof kDialogClass / sizeof kDialogClass[0] + 1] = {};
    if (IsWindowVisible(window) && IsWindowEnabled(window) && IsOwnedByMainWindow(window) &&
        GetClassNameW(window, className, static_cast<int>(std::size(className))) != 0 &&
        reinterpret_cast<const char16_t*>(className) == std::u16string_view(kDialogClass)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

int ShowBox(HWND owner, const WideText& text, const WideText& caption, UINT type) {
    const int result = MessageBoxW(owner, WideC(text), WideC(caption), type);
    // A box closed because the window is closing: the window it stood in front of goes next.
    CloseWindowsInFront();
    return result - 1;
}

}  // namespace

void PumpPendingMessages() {
    MSG message;
    // Look before taking, so a WM_QUIT stays in the queue for the loop that owns it.
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
        GetMessageA(&message, nullptr, 0, 0);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PumpNowAndThen(ULONGLONG& pumped) {
    constexpr ULONGLONG kPumpInterval = 10;
    const ULONGLONG now = GetTickCount64();
    if (now - pumped >= kPumpInterval) {
        pumped = now;
        PumpPendingMessages();
    }
}

int ShowMessage(HWND owner, const char* text, UINT type, const char* caption) {
    return ShowBox(owner, UiText(text), UiText(caption != nullptr ? caption : " "), type);
}

int ShowWideMessage(HWND owner, const WideText& text, UINT type) {
    return ShowBox(owner, text, UiText(" "), type);
}

void CloseWindowsInFront() {
    if (g_app.closeRequested) {
        EnumThreadWindows(GetCurrentThreadId(), CloseIfInFront, 0);
    }
}

bool ConfirmPrompt(HWND owner, const char* text) {
    return ConfirmWidePrompt(owner, UiText(text));
}

bool ConfirmWidePrompt(HWND owner, const WideText& text) {
    return ShowBox(owner, text, UiText(""), MB_OKCANCEL | MB_ICONQUESTION) == 0;
}
