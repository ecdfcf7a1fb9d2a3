#include "platform/looked_up.h"

namespace {

// shell32 exports RestartDialog by ordinal only.
constexpr WORD kRestartDialogOrdinal = 59;

// A looked-up export as the call it is; null for a missing module or export.
template <typename Call>
Call Find(HMODULE module, LPCSTR name) {
    FARPROC export_ = module != nullptr ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Call>(reinterpret_cast<void*>(export_));
}

}  // namespace

GetDpiForWindowCall LookUpGetDpiForWindow() {
    return Find<GetDpiForWindowCall>(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
}

SetDefaultDllDirectoriesCall LookUpSetDefaultDllDirectories() {
    return Find<SetDefaultDllDirectoriesCall>(GetModuleHandleA("kernel32.dll"),
                                              "SetDefaultDllDirectories");
}

IsWow64ProcessCall LookUpIsWow64Process() {
    return Find<IsWow64ProcessCall>(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
}

ChangeWindowMessageFilterExCall LookUpChangeWindowMessageFilterEx() {
    return Find<ChangeWindowMessageFilterExCall>(GetModuleHandleA("user32.dll"),
                                                 "ChangeWindowMessageFilterEx");
}

RtlUpcaseUnicodeCharCall LookUpRtlUpcaseUnicodeChar() {
    return Find<RtlUpcaseUnicodeCharCall>(GetModuleHandleA("ntdll.dll"), "RtlUpcaseUnicodeChar");
}

NtOpenMutantCall LookUpNtOpenMutant() {
    return Find<NtOpenMutantCall>(GetModuleHandleA("ntdll.dll"), "NtOpenMutant");
}

NtQuerySystemInformationCall LookUpNtQuerySystemInformation() {
    return Find<NtQuerySystemInformationCall>(GetModuleHandleA("ntdll.dll"),
                                              "NtQuerySystemInformation");
}

RestartDialogCall LookUpRestartDialog() {
    HMODULE shell = GetModuleHandleA("shell32.dll");
    if (shell == nullptr) {
        shell = LoadLibraryA("shell32.dll");
    }
    return Find<RestartDialogCall>(shell, MAKEINTRESOURCEA(kRestartDialogOrdinal));
}

bool LoadAuthzCalls(AuthzCalls& calls) {
    calls = AuthzCalls{};
    // Both libraries are the system's own; the library search is limited to the system folder.
    calls.library = LoadLibraryA("authz.dll");
    if (calls.library == nullptr) {
        return false;
    }
    calls.initializeResourceManager =
        Find<AuthzInitializeResourceManagerCall>(calls.library, "AuthzInitializeResourceManager");
    calls.initializeContextFromSid =
        Find<AuthzInitializeContextFromSidCall>(calls.library, "AuthzInitializeContextFromSid");
    calls.addSidsToContext =
        Find<AuthzAddSidsToContextCall>(calls.library, "AuthzAddSidsToContext");
    calls.accessCheck = Find<AuthzAccessCheckCall>(calls.library, "AuthzAccessCheck");
    calls.freeContext = Find<AuthzFreeHandleCall>(calls.library, "AuthzFreeContext");
    calls.freeResourceManager =
        Find<AuthzFreeHandleCall>(calls.library, "AuthzFreeResourceManager");
    calls.getFileSecurity =
        Find<GetFileSecurityCall>(GetModuleHandleA("advapi32.dll"), "GetFileSecurityW");
    return calls.initializeResourceManager != nullptr &&
           calls.initializeContextFromSid != nullptr && calls.addSidsToContext != nullptr &&
           calls.accessCheck != nullptr && calls.freeContext != nullptr &&
           calls.freeResourceManager != nullptr && calls.getFileSecurity != nullptr;
}

void ReleaseAuthzCalls(AuthzCalls& calls) {
    if (calls.library != nullptr) {
        FreeLibrary(calls.library);
    }
    calls = AuthzCalls{};
}
