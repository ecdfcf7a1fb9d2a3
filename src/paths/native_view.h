#pragma once

// A 32-bit process on 64-bit Windows (WOW64) sees C:\Windows\System32 redirected to SysWOW64,
// while the system carries out pending deletions at boot in the native view. These calls let the
// intakes and the restart run test and name files as the boot will see them. Anywhere else
// (32-bit Windows, the 64-bit build) they are the plain calls. Every path goes to the system in
// its literal form, so the file asked about is the one the path spells.

#include <optional>

#include "platform/win32.h"
#include "runtime/text.h"

// True in a 32-bit process on 64-bit Windows. Asked of the system once, at the first use.
bool UnderWow64();

// Whether a path names a folder, or anything at all, in the native view: its attributes, asked
// with its literal UTF-16 form, so no length limit of the ANSI calls applies (GetFileAttributesW,
// with redirection off for exactly the one call). When it cannot be turned off, the path is taken
// to name nothing; so is a path through the Sysnative alias, which only 32-bit processes have,
// and a path without an exact UTF-16 or a literal form.
bool NativePathIsDirectory(const Text& path);
bool NativePathFileExists(const Text& path);

// Where the file a path names in this process's view really is: under WOW64, the path the system
// reports for a handle of it (C:\Windows\System32\x opened there is C:\Windows\SysWOW64\x).
// Nothing when it names no file there or the system reports no ordinary path for it: its file
// cannot be told. The path itself outside WOW64.
std::optional<WideText> ShownFileLocation(const WideText& path);

// The platform's short form of an existing path (GetShortPathNameW in the native view).
bool SystemShortPath(const WideText& path, WideText& shortPath);
// The ANSI text that names exactly the file or folder of this UTF-16 path: the path itself, or
// its short (8.3) form; nothing when neither converts exactly.
std::optional<Text> AnsiFileName(const WideText& path);
