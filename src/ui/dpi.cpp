#include "ui/dpi.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND window);

// Looked up, not imported: the program also runs on systems older than the call.
GetDpiForWindowFunction FindGetDpiForWindow() {
    HMODULE user = GetModuleHandleA("user32.dll");
    FARPROC export_ = user != nullptr ? GetProcAddress(user, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(export_));
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return 0;
    }
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

int WindowDpi(HWND window) {
    if (GetDpiForWindowFunction dpiForWindow = FindGetDpiForWindow()) {
        if (const UINT dpi = dpiForWindow(window); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    return SystemDpi();
}
