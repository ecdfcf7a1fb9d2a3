// A 32-bit process on 64-bit Windows: IsWow64Process, the redirected view of the system folder,
// and the switch that turns the redirection off for the calling thread.

#include <algorithm>
#include <cstring>

#include "internal.h"

namespace standin::detail {

namespace {

// Disk keys are folded: ASCII letters in lower case, no trailing separator.
const std::string kSystem32 = "c:\\windows\\system32";
const std::string kSysWow64 = "c:\\windows\\syswow64";
const std::string kSysnative = "c:\\windows\\sysnative";
// The subfolders of System32 that a 32-bit process sees as they are.
const char* const kExemptFolders[] = {"\\catroot", "\\catroot2", "\\drivers\\etc", "\\logfiles",
                                      "\\spool"};
// The calls the program may make while redirection is off: the tests it turned it off for, and
// the restart request made in the same view as the test of its row.
const char* const kNativeViewCalls[] = {"GetFileAttributesW", "GetShortPathNameW",
                                        "CreateFileW",        "FindFirstFileW",
                                        "SetFileAttributesW", "Wow64RevertWow64FsRedirection"};

// The value Wow64DisableWow64FsRedirection hands out for Wow64RevertWow64FsRedirection.
PVOID const kSavedState = reinterpret_cast<PVOID>(static_cast<uintptr_t>(0x64));
HANDLE const kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

// True when path is folder or lies inside it.
bool IsUnder(const std::string& path, const std::string& folder) {
    return path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '\\');
}

bool Redirected() {
    return S().wow64.active && !S().wow64.redirectionOff;
}

BOOL StandinIsWow64Process(HANDLE process, BOOL* wow64) {
    LogCall("IsWow64Process", {process == kCurrentProcess ? "current process" : Pointer(process)});
    if (process != kCurrentProcess || wow64 == nullptr) {
        S().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    *wow64 = S().wow64.active ? TRUE : FALSE;
    return TRUE;
}

}  // namespace

std::optional<std::string> InView(const std::optional<std::string>& key) {
    if (!key || !S().wow64.active) {
        return key;
    }
    // As under Wine 8, the alias stays with redirection off.
    if (IsUnder(*key, kSysnative)) {
        return kSystem32 + key->substr(kSysnative.size());
    }
    if (!Redirected() || !IsUnder(*key, kSystem32)) {
        return key;
    }
    const std::string rest = key->substr(kSystem32.size());
    for (const char* exempt : kExemptFolders) {
        if (IsUnder(rest, exempt)) {
            return key;
        }
    }
    return kSysWow64 + rest;
}

void CheckCallInView(const std::string& function) {
    if (!S().wow64.redirectionOff) {
        return;
    }
    const auto* end = std::end(kNativeViewCalls);
    if (std::find(std::begin(kNativeViewCalls), end, function) == end) {
        Fail(function + " was called while file system redirection was off");
    }
}

FARPROC Wow64Export(const std::string& name) {
    if (name != "IsWow64Process") {
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&StandinIsWow64Process));
}

void ResetWow64Run() {
    S().wow64.redirectionOff = false;
    S().openFiles.clear();
}

void CheckWow64EndOfRun() {
    if (S().wow64.redirectionOff) {
        Fail("file system redirection was left off");
    }
    for (size_t i = 0; i < S().openFiles.size(); ++i) {
        if (!S().openFiles[i].closed) {
            Fail("file " + Num(static_cast<long long>(i + 1)) + " was left open");
        }
    }
}

}  // namespace standin::detail

using namespace standin;
using namespace standin::detail;

namespace standin {

void SetWow64(bool wow64) {
    S().wow64.active = wow64;
}

void SetRedirectionSwitchFails(bool fails) {
    S().wow64.switchFails = fails;
}

}  // namespace standin

HANDLE GetCurrentProcess() {
    return kCurrentProcess;
}

UINT GetSystemWindowsDirectoryA(LPSTR buffer, UINT size) {
    LogCall("GetSystemWindowsDirectoryA", {buffer ? "buffer" : "NULL", Unsigned(size)});
    const std::string folder = "C:\\Windows";
    if (buffer == nullptr || size <= folder.size()) {
        return static_cast<UINT>(folder.size() + 1);
    }
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<UINT>(folder.size());
}

UINT GetSystemWindowsDirectoryW(LPWSTR buffer, UINT size) {
    LogCall("GetSystemWindowsDirectoryW", {buffer ? "buffer" : "NULL", Unsigned(size)});
    const std::u16string folder = u"C:\\Windows";
    if (buffer == nullptr || size <= folder.size()) {
        return static_cast<UINT>(folder.size() + 1);
    }
    std::memcpy(buffer, folder.c_str(), (folder.size() + 1) * sizeof(char16_t));
    return static_cast<UINT>(folder.size());
}

// 32-bit Windows has the call but no redirection to turn off.
BOOL Wow64DisableWow64FsRedirection(PVOID* oldValue) {
    LogCall("Wow64DisableWow64FsRedirection", {oldValue ? "buffer" : "NULL"});
    Wow64State& wow64 = S().wow64;
    if (!wow64.active || wow64.switchFails) {
        S().lastError = 1;  // ERROR_INVALID_FUNCTION
        return FALSE;
    }
    if (oldValue == nullptr) {
        Abort("Wow64DisableWow64FsRedirection without a place for the old value");
    }
    if (wow64.redirectionOff) {
        Fail("Wow64DisableWow64FsRedirection while redirection was already off");
    }
    wow64.redirectionOff = true;
    *oldValue = kSavedState;
    return TRUE;
}

BOOL Wow64RevertWow64FsRedirection(PVOID oldValue) {
    LogCall("Wow64RevertWow64FsRedirection",
            {oldValue == kSavedState ? "saved state" : Pointer(oldValue)});
    Wow64State& wow64 = S().wow64;
    if (!wow64.redirectionOff || oldValue != kSavedState) {
        Fail("Wow64RevertWow64FsRedirection without the state a disable gave");
        S().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    wow64.redirectionOff = false;
    return TRUE;
}
