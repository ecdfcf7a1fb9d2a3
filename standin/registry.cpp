// The registry: the stand-in keeps none. Every key is refused as a user without the rights would
// find it, so the program's restart's to-do list is empty over the stand-in and no row is marked;
// the real registry is read and written under Wine.

#include "internal.h"

using namespace standin::detail;

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM access, PHKEY result) {
    LogCall("RegOpenKeyExW", {Pointer(key), WideArg(subKey), Unsigned(access)});
    if (result) {
        *result = nullptr;
    }
    return ERROR_ACCESS_DENIED;
}

LONG RegQueryValueExW(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) {
    return ERROR_INVALID_HANDLE;
}

LONG RegSetValueExW(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) {
    return ERROR_INVALID_HANDLE;
}

LONG RegDeleteValueW(HKEY, LPCWSTR) {
    return ERROR_INVALID_HANDLE;
}

LONG RegCloseKey(HKEY) {
    return ERROR_INVALID_HANDLE;
}
