#pragma once

// The calls that ask the system about one file as the boot sees the disk, shared by the native
// view's tests and the location a row is listed with.

#include "paths/native_view.h"
#include "platform/win32.h"
#include "runtime/text.h"

// Runs one call in the native view, redirection off for exactly that call: any other (a library
// the system loads on demand, say) would see the native system folder too. failed when
// redirection cannot be turned off; outside WOW64 the plain call.
template <typename Result, typename Call>
Result InNativeView(Call call, Result failed) {
    if (!UnderWow64()) {
        return call();
    }
    PVOID previous = nullptr;
    if (!Wow64DisableWow64FsRedirection(&previous)) {
        return failed;
    }
    const Result result = call();
    Wow64RevertWow64FsRedirection(previous);
    return result;
}

// Opens a file or folder for no access, to ask where and which it is. A final link is opened
// itself, not followed. INVALID_HANDLE_VALUE for an empty path or one that names nothing.
HANDLE OpenToAsk(const WideText& literal);

// The path the system reports for an open handle, with its drive letter ("\\?\C:\dir\name"), as
// the system spells the names; empty when it reports none.
WideText FinalPathOf(HANDLE file);
