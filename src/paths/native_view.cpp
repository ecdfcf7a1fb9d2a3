#include "paths/native_view.h"

#include "paths/exact_names.h"
#include "paths/literal_forms.h"
#include "paths/sysnative.h"
#include "platform/looked_up.h"
#include "runtime/exact_text.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

bool AskIsWow64Process() {
#if defined(_WIN64)
    // A 64-bit process sees the system as it is.
    return false;
#else
    const IsWow64ProcessCall isWow64Process = LookUpIsWow64Process();
    BOOL wow64 = FALSE;
    return isWow64Process != nullptr && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

// The attributes of what a path names in the native view, asked with its literal form;
// INVALID_FILE_ATTRIBUTES when it names nothing there or cannot be asked.
DWORD NativeAttributes(const WideText& path) {
    const LiteralPath literal = LiteralFormOf(OrdinaryPath{path});
    if (literal.empty()) {
        return INVALID_FILE_ATTRIBUTES;
    }
    return InNativeView([&] { return GetFileAttributesW(WideC(literal.text)); },
                        INVALID_FILE_ATTRIBUTES);
}

// Which file a literal path names in the native view, as the boot sees the disk. Only the open
// runs with redirection off.
std::optional<FileIdentity> NativeIdentity(const LiteralPath& literal) {
    HANDLE file = InNativeView([&] { return OpenToAsk(literal); }, INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const std::optional<FileIdentity> identity = IdentityOf(file);
    CloseHandle(file);
    return identity;
}

// GetShortPathNameW in the native view; 0 (no short form) when redirection cannot be turned off.
// The answer is in the literal form too.
DWORD NativeShortPathName(const WideText& path, LPWSTR buffer, DWORD size) {
    const LiteralPath literal = LiteralFormOf(OrdinaryPath{path});
    if (literal.empty()) {
        return 0;
    }
    return InNativeView([&] { return GetShortPathNameW(WideC(literal.text), buffer, size); },
                        static_cast<DWORD>(0));
}

}  // namespace

std::optional<FileIdentity> IdentityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

bool LeadsTo(const LiteralPath& literal, const FileIdentity& identity) {
    return NativeIdentity(literal) == identity;
}

// The system's own Windows folder (not a terminal server user's); empty when it gives none.
WideText SystemWindowsDirectory() {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryA(buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? WideFromAnsi(TextFromC(buffer)) : WideText();
}

bool UnderWow64() {
    if (!g_app.wow64.known) {
        g_app.wow64.known = true;
        g_app.wow64.active = AskIsWow64Process();
        if (g_app.wow64.active) {
            g_app.wow64.windowsDirectory = SystemWindowsDirectory();
        }
    }
    return g_app.wow64.active;
}

bool NativePathIsDirectory(const WideText& path) {
    const DWORD attributes = NativeAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool NativePathFileExists(const WideText& path) {
    // Some systems (Wine) keep the Sysnative alias with redirection off; the boot never has it.
    if (UnderWow64() && IsInSysnative(path, g_app.wow64.windowsDirectory)) {
        return false;
    }
    return NativeAttributes(path) != INVALID_FILE_ATTRIBUTES;
}

std::optional<WideText> ShownFileLocation(const WideText& path) {
    if (!UnderWow64()) {
        return path;
    }
    // Opened in this process's view: the file the dialog showed under this name. A link is
    // opened itself, not followed: deleting the link is what the user chose.
    const LiteralPath literal = LiteralFormOf(OrdinaryPath{path});
    HANDLE file = OpenToAsk(literal);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const std::optional<FileIdentity> shown = IdentityOf(file);
    const LiteralPath finalPath = FinalPathOf(file);
    CloseHandle(file);
    if (!shown) {
        return std::nullopt;
    }
    // The chosen path, spelled as the user saw it, when the boot finds that very file under it.
    // The boot has no Sysnative folder, though some systems keep the alias with redirection off.
    const bool viaSysnative = IsInSysnative(path, g_app.wow64.windowsDirectory);
    if (!viaSysnative && NativeIdentity(literal) == shown) {
        return path;
    }
    // Else where the system reports the file, when the boot finds it there. A file that cannot
    // be told is left out: the chosen path may name another file at boot (a namesake in System32).
    const std::optional<OrdinaryPath> real = OrdinaryFormOf(finalPath);
    if (real && NativeIdentity(LiteralFormOf(*real)) == shown) {
        return real->text;
    }
    return std::nullopt;
}

bool SystemShortPath(const WideText& path, WideText& shortPath) {
    shortPath.clear();
    if (path.empty()) {
        return false;
    }
    // The paths asked about are native ones: dropped by the shell, or where the dialog's file is.
    const DWORD needed = NativeShortPathName(path, nullptr, 0);
    if (needed == 0) {
        return false;
    }
    WideText buffer(static_cast<size_t>(needed), u'\0');
    const DWORD written = NativeShortPathName(path, WideData(buffer), needed);
    // The second answer is the length without the terminator; a larger one means the name
    // changed in between and did not fit.
    if (written == 0 || written >= needed) {
        return false;
    }
    buffer.resize(static_cast<size_t>(written));
    // Asked in the literal form, the system answers in it.
    shortPath = OrdinaryFormOf(LiteralPath{buffer}).value_or(OrdinaryPath{buffer}).text;
    return true;
}

std::optional<Text> AnsiFileName(const WideText& path) {
    return ExactFileName(path, SystemAnsiConverters(), SystemShortPath);
}

HANDLE OpenToAsk(const LiteralPath& literal) {
    if (literal.empty()) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(WideC(literal.text), 0, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

HANDLE OpenFollowing(const LiteralPath& literal) {
    if (literal.empty()) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(WideC(literal.text), 0, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

LiteralPath FinalPathOf(HANDLE file) {
    WideText buffer(MAX_PATH, char16_t());
    DWORD length = GetFinalPathNameByHandleW(file, WideData(buffer),
                                             static_cast<DWORD>(buffer.size()), kFinalPathFlags);
    if (length >= buffer.size()) {
        // Too small: the answer was the size needed, terminator included.
        buffer.assign(length, char16_t());
        length = GetFinalPathNameByHandleW(file, WideData(buffer),
                                           static_cast<DWORD>(buffer.size()), kFinalPathFlags);
        if (length >= buffer.size()) {
            return {};
        }
    }
    buffer.resize(length);
    return {buffer};
}

std::optional<LiteralPath> FileLocationNow(const WideText& rowPath) {
    const LiteralPath literal = LiteralFormOf(OrdinaryPath{rowPath});
    if (literal.empty()) {
        return std::nullopt;
    }
    // Only the open needs the native view; the handle then stays the file it opened. Opened
    // without following a final link: the link is what the row names, and what a restart
    // deletes; every folder on the way is followed, so the answer says where they lead now.
    HANDLE file = InNativeView([&] { return OpenToAsk(literal); }, INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    LiteralPath location = FinalPathOf(file);
    CloseHandle(file);
    if (location.empty()) {
        return std::nullopt;
    }
    return location;
}

std::optional<LiteralPath> LocationByFolderNow(const WideText& rowPath) {
    const LiteralPath literal = LiteralFormOf(OrdinaryPath{rowPath});
    LiteralPath folder;
    const std::u16string_view name = NameInFolder(literal, folder);
    HANDLE handle = InNativeView([&] { return OpenFollowing(folder); }, INVALID_HANDLE_VALUE);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    LiteralPath location = FinalPathOf(handle);
    CloseHandle(handle);
    if (location.empty()) {
        return std::nullopt;
    }
    return InFolder(std::move(location), name);
}
