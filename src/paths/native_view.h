#pragma once

// A 32-bit process on 64-bit Windows (WOW64) sees C:\Windows\System32 redirected to SysWOW64,
// while the system carries out pending deletions at boot in the native view. These calls let the
// intakes and the restart run test and name files as the boot will see them. Anywhere else
// (32-bit Windows, the 64-bit build) they are the plain calls. Every path goes to the system in
// its literal form, so the file asked about is the one the path spells.

#include <optional>

#include "paths/file_identity.h"
#include "platform/win32.h"
#include "runtime/path_texts.h"
#include "runtime/text.h"

// Files opened to be asked about, listed or have their attributes changed let every other program
// go on with them: the program asks nothing of their sharing.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle's final path with its drive letter, as the system spells the names ("\\?\C:\dir\a").
inline constexpr DWORD kFinalPathFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
// The same path with the volume's GUID path at its front ("\\?\Volume{...}\dir\a").
inline constexpr DWORD kVolumePathFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_GUID;

// Which file a handle is; nothing when the system does not say.
std::optional<FileIdentity> IdentityOf(HANDLE file);
// True when a literal path names the file identity names, in the native view.
bool LeadsTo(const LiteralPath& literal, const FileIdentity& identity);

// True in a 32-bit process on 64-bit Windows. Asked of the system once, at the first use.
bool UnderWow64();
// The system's Windows folder ("C:\Windows"), in UTF-16; empty when it cannot be told.
WideText SystemWindowsDirectory();

// Whether a UTF-16 path names a folder, or anything at all, in the native view: its attributes,
// asked with its literal form, so no length limit of the ANSI calls applies (GetFileAttributesW,
// with redirection off for exactly the one call). When it cannot be turned off, the path is taken
// to name nothing; so is a path through the Sysnative alias, which only 32-bit processes have,
// and a path without a literal form.
bool NativePathIsDirectory(const WideText& path);
bool NativePathFileExists(const WideText& path);

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
HANDLE OpenToAsk(const LiteralPath& literal);
// The same, a final link followed too: where the path leads.
HANDLE OpenFollowing(const LiteralPath& literal);

// The path the system reports for an open handle, with its drive letter ("\\?\C:\dir\name"), as
// the system spells the names; empty when it reports none.
LiteralPath FinalPathOf(HANDLE file);

// Where a row's file really is: the path the system reports for the file the row names, in the
// native view (the boot's), a final link taken as itself. Kept when the row is listed and asked
// again at the restart run, so that a path re-pointed in between (a folder on it replaced by a
// junction) is told apart from the one the user chose.
// The final path ("\\?\C:\dir\name") of what the row's UTF-16 path names now; nothing when it
// names nothing, has no literal form, or the system reports no path for it.
std::optional<LiteralPath> FileLocationNow(const WideText& rowPath);
// Where a row's file is by its folder, for a file the system reports no final path for: its
// folder's final path, links on the way followed, and its own name; nothing when the folder's is
// not told either.
std::optional<LiteralPath> LocationByFolderNow(const WideText& rowPath);
