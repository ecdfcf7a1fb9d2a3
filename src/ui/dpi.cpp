#include "ui/dpi.h"

#include "platform/looked_up.h"

namespace {

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
    if (const GetDpiForWindowCall dpiForWindow = LookUpGetDpiForWindow()) {
        if (const UINT dpi = dpiForWindow(window); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    return SystemDpi();
}
