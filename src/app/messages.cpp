#include "app/shell.h"

#include "runtime/wide_text.h"

void PumpPendingMessages() {
    MSG message;
    // Look before taking, so a WM_QUIT stays in the queue for the loop that owns it.
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
        GetMessageA(&message, nullptr, 0, 0);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int ShowMessage(HWND owner, const char* text, UINT type, const char* caption) {
    const WideText& shown = UiText(text);
    const WideText& title = UiText(caption != nullptr ? caption : " ");
    return MessageBoxW(owner, WideC(shown), WideC(title), type) - 1;
}

bool ConfirmPrompt(HWND owner, const char* text) {
    return ShowMessage(owner, text, MB_OKCANCEL | MB_ICONQUESTION, "") == 0;
}
