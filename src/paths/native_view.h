#pragma once

// A 32-bit process on 64-bit Windows (WOW64) sees C:\Windows\System32 redirected to SysWOW64,
// while the system carries out pending deletions at boot in the native view. These calls let the
// intakes test and name files as the boot will see them. Anywhere else (32-bit Windows, the
// 64-bit build) they are the plain calls.

#include "platform/win32.h"
#include "runtime/text.h"

// True in a 32-bit process on 64-bit Windows. Asked of the system once, at the first use.
bool UnderWow64();

// PathIsDirectoryA and PathFileExistsA in the native view: redirection is off for exactly the one
// call. When it cannot be turned off, the path is taken to name nothing; so is a path through the
// Sysnative alias, which only 32-bit processes have.
bool NativePathIsDirectory(const Text& path);
bool NativePathFileExists(const Text& path);

// GetShortPathNameW in the native view; 0 (no short form) when redirection cannot be turned off.
DWORD NativeShortPathName(const WideText& path, LPWSTR buffer, DWORD size);

// Where the file a path names in this process's view really is: under WOW64, the path the system
// reports for a handle of it (C:\Windows\System32\x opened there is C:\Windows\SysWOW64\x). The
// path itself when it names no file, when the system reports no ordinary path, or outside WOW64.
WideText ShownFileLocation(const WideText& path);
