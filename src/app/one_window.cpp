#include "app/one_window.h"

OneWindowClaim ClaimOneWindow() {
    OneWindowClaim claim;
    claim.mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(kOneWindowMutex));
    // A mutex another account's start made (an elevation with another password) cannot be
    // opened, but is there all the same.
    const DWORD error = GetLastError();
    claim.anotherStart = error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
    return claim;
}

void ReleaseOneWindow(const OneWindowClaim& claim) {
    if (claim.mutex != nullptr) {
        CloseHandle(claim.mutex);
    }
}

void MarkProgramWindow(HWND window) {
    // Any value but null marks it; the property goes with the window.
    SetPropW(window, reinterpret_cast<LPCWSTR>(kWindowProperty), reinterpret_cast<HANDLE>(1));
}
