#include "paths/native_view.h"

#include "app/app_state.h"
#include "paths/location_rules.h"
#include "runtime/wide_text.h"

namespace {

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE process, BOOL* wow64);
using PathTest = BOOL(WINAPI*)(LPCSTR path);

// The handle's path with its drive letter, as the system spells the names.
constexpr DWORD kFinalPathFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
// Opening for no access at all is enough to ask where a file is, and asks nothing of its sharing.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool AskIsWow64Process() {
#if defined(_WIN64)
    // A 64-bit process sees the system as it is.
    return false;
#else
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) {
        return false;
    }
    // Looked up, not imported: a system without WOW64 may not have it.
    FARPROC export_ = GetProcAddress(kernel, "IsWow64Process");
    if (export_ == nullptr) {
        return false;
    }
    auto isWow64Process =
        reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(export_));
    BOOL wow64 = FALSE;
    return isWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

// The system's own Windows folder (not a terminal server user's); empty when it gives none.
Text SystemWindowsDirectory() {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryA(buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? TextFromC(buffer) : Text();
}

// The path the system reports for an open handle; empty when it reports none.
WideText FinalPathOf(HANDLE file) {
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
    return buffer;
}

// Runs one shlwapi path test in the native view. Nothing runs between turning redirection off
// and back on but the test itself: any other call (a library the system loads on demand, say)
// would see the native system folder too.
bool InNativeView(PathTest test, const Text& path) {
    if (!UnderWow64()) {
        return test(path.c_str()) != FALSE;
    }
    PVOID previous = nullptr;
    if (!Wow64DisableWow64FsRedirection(&previous)) {
        return false;
    }
    const BOOL found = test(path.c_str());
    Wow64RevertWow64FsRedirection(previous);
    return found != FALSE;
}

}  // namespace

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

bool NativePathIsDirectory(const Text& path) {
    return InNativeView(PathIsDirectoryA, path);
}

bool NativePathFileExists(const Text& path) {
    // Some systems (Wine) keep the Sysnative alias with redirection off; the boot never has it.
    if (UnderWow64() && IsInSysnative(path, g_app.wow64.windowsDirectory)) {
        return false;
    }
    return InNativeView(PathFileExistsA, path);
}

DWORD NativeShortPathName(const WideText& path, LPWSTR buffer, DWORD size) {
    if (!UnderWow64()) {
        return GetShortPathNameW(WideC(path), buffer, size);
    }
    PVOID previous = nullptr;
    if (!Wow64DisableWow64FsRedirection(&previous)) {
        return 0;
    }
    const DWORD length = GetShortPathNameW(WideC(path), buffer, size);
    Wow64RevertWow64FsRedirection(previous);
    return length;
}

WideText ShownFileLocation(const WideText& path) {
    if (path.empty() || !UnderWow64()) {
        return path;
    }
    // Opened in this process's view: the file the dialog showed under this name. A link is
    // opened itself, not followed: deleting the link is what the user chose.
    HANDLE file = CreateFileW(WideC(path), 0, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return path;
    }
    const WideText finalPath = FinalPathOf(file);
    CloseHandle(file);
    return RelocatedPath(path, finalPath).value_or(path);
}
