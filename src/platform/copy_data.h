#pragma once

// Handing a block of bytes to another process's window (WM_COPYDATA): the program's second start
// to the open window, and a start of the right-click verb's helper to its gatherer. Header only,
// since the helper links nothing of the program's.

#include <string>

#include "platform/win32.h"

// Sends block with tag, waiting at most timeout milliseconds for the window (not at all for one
// that hangs); true when the window answered that it took the block.
inline bool SendCopyData(HWND window, ULONG_PTR tag, std::string& block, UINT timeout) {
    COPYDATASTRUCT data{};
    data.dwData = tag;
    data.cbData = static_cast<DWORD>(block.size());
    data.lpData = block.data();
    DWORD_PTR taken = FALSE;
    const LRESULT answered = SendMessageTimeoutW(
        window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, timeout, &taken);
    return answered != 0 && taken == TRUE;
}
