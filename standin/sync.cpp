// The session manager's mutex on the pending values, as ntdll's NtOpenMutant opens it and the
// wait calls wait for it, and ntdll's upper-case table of the file system.

#include "internal.h"

using namespace standin;
using namespace standin::detail;

namespace {

const HANDLE kMutantHandle = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x600000));
// STATUS_OBJECT_NAME_NOT_FOUND, as an NTSTATUS.
constexpr LONG kNameNotFound = static_cast<LONG>(0xC0000034);

struct StandinUnicodeString {
    USHORT length;
    USHORT maximumLength;
    WCHAR* buffer;
};
struct StandinObjectAttributes {
    ULONG length;
    HANDLE rootDirectory;
    StandinUnicodeString* objectName;
    ULONG attributes;
    void* securityDescriptor;
    void* securityQualityOfService;
};

LONG StandinNtOpenMutant(HANDLE* mutant, DWORD access, void* objectAttributes) {
    const auto* attributes = static_cast<const StandinObjectAttributes*>(objectAttributes);
    const std::u16string name = attributes != nullptr && attributes->objectName != nullptr
                                    ? std::u16string(attributes->objectName->buffer,
                                                     attributes->objectName->length / sizeof(WCHAR))
                                    : std::u16string();
    LogCall("NtOpenMutant", {Unsigned(access), Utf8(name)});
    PendingLockRecord& lock = S().pendingLock;
    if (name != u"\\PendingRenameMutex" || attributes->rootDirectory != nullptr ||
        lock.state == PendingLockState::kNone) {
        return kNameNotFound;
    }
    if (lock.open) {
        Fail("NtOpenMutant: the pending values' mutex was opened twice");
    }
    lock.open = true;
    *mutant = kMutantHandle;
    return 0;
}

WCHAR StandinRtlUpcaseUnicodeChar(WCHAR unit) {
    return UpperCaseUnit(unit);
}

// The wait's answer for the mutex now: taken (the program owns it then), abandoned, or still
// held by the other program.
DWORD TryMutant() {
    PendingLockRecord& lock = S().pendingLock;
    switch (lock.state) {
        case PendingLockState::kFree:
            ++lock.owned;
            return WAIT_OBJECT_0;
        case PendingLockState::kAbandoned:
            lock.state = PendingLockState::kFree;
            ++lock.owned;
            return WAIT_ABANDONED_0;
        case PendingLockState::kHeldByOther:
            return WAIT_TIMEOUT;
        case PendingLockState::kNone:
            break;
    }
    return WAIT_FAILED;
}

bool IsOpenMutant(HANDLE object) {
    return object == kMutantHandle && S().pendingLock.open;
}

}  // namespace

namespace standin::detail {

FARPROC NtdllExport(const std::string& name) {
    if (name == "NtOpenMutant") {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&StandinNtOpenMutant));
    }
    if (name == "RtlUpcaseUnicodeChar") {
        return reinterpret_cast<FARPROC>(
            reinterpret_cast<void (*)()>(&StandinRtlUpcaseUnicodeChar));
    }
    return nullptr;
}

char16_t UpperCaseUnit(char16_t unit) {
    if ((unit >= u'a' && unit <= u'z') || (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7)) {
        return static_cast<char16_t>(unit - 0x20);
    }
    if (unit >= 0x100 && unit <= 0x17F && unit % 2 == 1 && unit != 0x131 && unit != 0x149) {
        return static_cast<char16_t>(unit - 1);
    }
    return unit;
}

bool CloseMutantHandle(HANDLE object) {
    if (!IsOpenMutant(object)) {
        return false;
    }
    LogCall("CloseHandle", {"mutant"});
    S().pendingLock.open = false;
    return true;
}

void CheckCallOutsideLock(const std::string& function) {
    if (S().pendingLock.owned > 0) {
        Fail(function + " was called while the pending values' lock was held");
    }
}

void ResetSyncRun() {
    PendingLockRecord& lock = S().pendingLock;
    lock.open = false;
    lock.owned = 0;
}

void CheckSyncEndOfRun() {
    if (S().pendingLock.owned > 0) {
        Fail("the pending values' lock was still held at the end");
    }
    if (S().pendingLock.open) {
        Fail("the pending values' mutex was left open");
    }
}

}  // namespace standin::detail

namespace standin {

void SetPendingRenameMutex(PendingLockState state) {
    S().pendingLock.state = state;
}

bool ProgramHoldsPendingRenameMutex() {
    return S().pendingLock.owned > 0;
}

}  // namespace standin

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    LogCall("WaitForSingleObject",
            {IsOpenMutant(object) ? "mutant" : Pointer(object), Unsigned(milliseconds)});
    if (!IsOpenMutant(object)) {
        S().lastError = ERROR_INVALID_HANDLE;
        return WAIT_FAILED;
    }
    const DWORD result = TryMutant();
    if (result == WAIT_TIMEOUT && milliseconds != 0) {
        Abort("WaitForSingleObject would wait for the other program without answering the window");
    }
    return result;
}

DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* objects, DWORD milliseconds,
                                  DWORD wakeMask, DWORD flags) {
    FireDueTriggers();
    LogCall("MsgWaitForMultipleObjectsEx",
            {Unsigned(count), Unsigned(milliseconds), Unsigned(wakeMask), Unsigned(flags)});
    if (count != 1 || objects == nullptr || !IsOpenMutant(objects[0])) {
        S().lastError = ERROR_INVALID_HANDLE;
        return WAIT_FAILED;
    }
    const DWORD result = TryMutant();
    if (result != WAIT_TIMEOUT) {
        return result;
    }
    // Nothing to take yet: what the user does meanwhile arrives as input.
    if (S().queue.empty()) {
        PerformNextInput("the wait for the pending values' lock");
    }
    return WAIT_OBJECT_0 + count;
}

BOOL ReleaseMutex(HANDLE mutex) {
    LogCall("ReleaseMutex", {IsOpenMutant(mutex) ? "mutant" : Pointer(mutex)});
    PendingLockRecord& lock = S().pendingLock;
    if (!IsOpenMutant(mutex) || lock.owned == 0) {
        S().lastError = 288;  // ERROR_NOT_OWNER
        return FALSE;
    }
    --lock.owned;
    return TRUE;
}
