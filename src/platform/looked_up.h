#pragma once

// The calls some systems lack, looked up at run time instead of imported, so that the program
// still starts where one is missing: each typed here, once, and found by one function that gives
// null when the system lacks it.

#include <cstdint>

#include "platform/win32.h"

// user32: Windows 10 version 1607 and later.
using GetDpiForWindowCall = UINT(WINAPI*)(HWND window);
GetDpiForWindowCall LookUpGetDpiForWindow();

// kernel32: Windows 8, or Windows 7 with its update KB2533623.
using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD directoryFlags);
SetDefaultDllDirectoriesCall LookUpSetDefaultDllDirectories();

// kernel32: systems with WOW64.
using IsWow64ProcessCall = BOOL(WINAPI*)(HANDLE process, BOOL* wow64);
IsWow64ProcessCall LookUpIsWow64Process();

// user32: Windows 7 and later.
using ChangeWindowMessageFilterExCall = BOOL(WINAPI*)(HWND window, UINT message, DWORD action,
                                                      void* status);
ChangeWindowMessageFilterExCall LookUpChangeWindowMessageFilterEx();

// ntdll: the upper case of one UTF-16 unit, as the file system compares names (every Windows NT).
using RtlUpcaseUnicodeCharCall = WCHAR(WINAPI*)(WCHAR unit);
RtlUpcaseUnicodeCharCall LookUpRtlUpcaseUnicodeChar();

// ntdll: opens a named mutant of the object namespace, by records of the native API that not
// every SDK the program builds with declares (UNICODE_STRING, OBJECT_ATTRIBUTES).
struct NtUnicodeString {
    USHORT length;         // in bytes, without a terminator
    USHORT maximumLength;  // in bytes
    WCHAR* buffer;
};
struct NtObjectAttributes {
    ULONG length;  // sizeof(NtObjectAttributes)
    HANDLE rootDirectory;
    NtUnicodeString* objectName;
    ULONG attributes;
    void* securityDescriptor;
    void* securityQualityOfService;
};
// The native API's own layouts: 8 and 24 bytes on a 32-bit system, 16 and 48 on a 64-bit one.
static_assert(sizeof(NtUnicodeString) == 2 * sizeof(void*) &&
              sizeof(NtObjectAttributes) == 6 * sizeof(void*));
// attributes is an NtObjectAttributes.
using NtOpenMutantCall = LONG(WINAPI*)(HANDLE* mutant, DWORD access, void* attributes);
NtOpenMutantCall LookUpNtOpenMutant();

// shell32's restart prompt, exported by ordinal only; shell32 is loaded when it is not yet.
using RestartDialogCall = int(WINAPI*)(HWND owner, LPCWSTR prompt, DWORD flags);
RestartDialogCall LookUpRestartDialog();

// authz.dll's records and calls, and advapi32's GetFileSecurityW beside them: SYSTEM's access
// check. Not in every SDK the program builds with, and missing on some systems (Wine).
struct AuthzLuid {
    DWORD lowPart;
    LONG highPart;
};
struct AuthzAccessRequest {
    DWORD desiredAccess;
    void* principalSelfSid;
    void* objectTypeList;
    DWORD objectTypeListLength;
    void* optionalArguments;
};
struct AuthzAccessReply {
    DWORD resultListLength;
    DWORD* grantedAccessMask;
    DWORD* saclEvaluationResults;
    DWORD* error;
};
using AuthzInitializeResourceManagerCall = BOOL(WINAPI*)(DWORD flags, void* dynamicAccessCheck,
                                                         void* computeDynamicGroups,
                                                         void* freeDynamicGroups, LPCWSTR name,
                                                         void** resourceManager);
using AuthzInitializeContextFromSidCall = BOOL(WINAPI*)(DWORD flags, void* sid,
                                                        void* resourceManager, void* expiration,
                                                        AuthzLuid identifier, void* dynamicGroups,
                                                        void** context);
// A SID and its SE_GROUP_* attributes.
struct AuthzSidAndAttributes {
    void* sid;
    DWORD attributes;
};
using AuthzAddSidsToContextCall = BOOL(WINAPI*)(void* context, AuthzSidAndAttributes* sids,
                                                DWORD sidCount, AuthzSidAndAttributes* restricted,
                                                DWORD restrictedCount, void** newContext);
using AuthzAccessCheckCall = BOOL(WINAPI*)(DWORD flags, void* context, AuthzAccessRequest* request,
                                           void* auditEvent, void* securityDescriptor,
                                           void** optionalDescriptors, DWORD optionalCount,
                                           AuthzAccessReply* reply, void* results);
using AuthzFreeHandleCall = BOOL(WINAPI*)(void* handle);
using GetFileSecurityCall = BOOL(WINAPI*)(LPCWSTR path, DWORD parts, void* descriptor, DWORD length,
                                          DWORD* needed);

struct AuthzCalls {
    HMODULE library = nullptr;
    AuthzInitializeResourceManagerCall initializeResourceManager = nullptr;
    AuthzInitializeContextFromSidCall initializeContextFromSid = nullptr;
    AuthzAddSidsToContextCall addSidsToContext = nullptr;
    AuthzAccessCheckCall accessCheck = nullptr;
    AuthzFreeHandleCall freeContext = nullptr;
    AuthzFreeHandleCall freeResourceManager = nullptr;
    GetFileSecurityCall getFileSecurity = nullptr;
};

// Loads authz.dll and looks up every call; true when all of them are there. The library stays
// loaded until ReleaseAuthzCalls, also when a call is missing.
bool LoadAuthzCalls(AuthzCalls& calls);
void ReleaseAuthzCalls(AuthzCalls& calls);

// ntdll: the system's time of day (SystemTimeOfDayInformation), of which the boot's start is
// wanted. The record's leading part, which every Windows NT gives; later systems add to it.
inline constexpr ULONG kSystemTimeOfDayInformation = 3;
struct NtTimeOfDay {
    int64_t bootTime;  // UTC, in 100 ns units since 1601, as a FILETIME
    int64_t currentTime;
    int64_t timeZoneBias;
    ULONG timeZoneId;
    ULONG reserved;
};
static_assert(sizeof(NtTimeOfDay) == 32);
using NtQuerySystemInformationCall = LONG(WINAPI*)(ULONG infoClass, void* info, ULONG length,
                                                   ULONG* returned);
NtQuerySystemInformationCall LookUpNtQuerySystemInformation();
