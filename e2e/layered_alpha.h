#pragma once

// The current opacity of a layered window, for the suite and for the program that closes
// rebootdel.exe from outside.

#include <windows.h>

// 0 to 255; -1 when the window has no layered alpha.
inline int AlphaOf(HWND window) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags) || !(flags & LWA_ALPHA)) {
        return -1;
    }
    return alpha;
}
