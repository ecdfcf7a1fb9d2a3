#include "app/fade.h"

#include "app/fade_steps.h"
#include "ui/prompts.h"

namespace {

// Layered windows take an opacity; every other extended style bit stays as it was.
void MakeLayered(HWND window) {
    SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
}

void SetOpacity(HWND window, BYTE alpha) {
    SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
}

void StepTo(HWND window, BYTE alpha, DWORD delay) {
    SetOpacity(window, alpha);
    Sleep(delay);
    PumpPendingMessages();
}

}  // namespace

void FadeInWindow(HWND window, int alpha, DWORD delay) {
    MakeLayered(window);
    SetOpacity(window, 0);
    ShowWindow(window, SW_SHOW);
    for (BYTE step : FadeInSteps(alpha)) {
        StepTo(window, step, delay);
    }
}

void FadeOutWindow(HWND window, int alpha, DWORD delay) {
    MakeLayered(window);
    for (BYTE step : FadeOutSteps(alpha)) {
        StepTo(window, step, delay);
    }
}
