#include "pending/pending_lock.h"

#include <iterator>

#include "platform/looked_up.h"
#include "ui/prompts.h"

namespace {

// OBJ_CASE_INSENSITIVE: the object manager's names ignore case.
constexpr ULONG kCaseInsensitive = 0x40;

// The mutex the session manager made, opened for waiting only; releasing it asks nothing of the
// handle but that this thread owns it. Null when there is none or it cannot be opened.
HANDLE OpenPendingRenameMutex() {
    const NtOpenMutantCall openMutant = LookUpNtOpenMutant();
    if (openMutant == nullptr) {
        return nullptr;
    }
    char16_t name[] = u"\\PendingRenameMutex";
    const auto bytes = static_cast<USHORT>((std::size(name) - 1) * sizeof(char16_t));
    NtUnicodeString objectName{bytes, static_cast<USHORT>(bytes + sizeof(char16_t)),
                               reinterpret_cast<WCHAR*>(name)};
    NtObjectAttributes attributes{sizeof(NtObjectAttributes), nullptr, &objectName,
                                  kCaseInsensitive,           nullptr, nullptr};
    HANDLE mutant = nullptr;
    if (openMutant(&mutant, SYNCHRONIZE, &attributes) < 0) {
        return nullptr;
    }
    return mutant;
}

// Waits while answering the window; the wait's result, or WAIT_IO_COMPLETION for a stop.
DWORD WaitAnswering(HANDLE mutant, const std::function<bool()>& stopped) {
    for (;;) {
        if (stopped()) {
            return WAIT_IO_COMPLETION;
        }
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &mutant, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (result != WAIT_OBJECT_0 + 1) {
            return result;
        }
        PumpPendingMessages();
    }
}

}  // namespace

LockWait TakePendingLock(PendingLock& lock, const std::function<void()>& waiting,
                         const std::function<bool()>& stopped) {
    lock = PendingLock{};
    HANDLE mutant = OpenPendingRenameMutex();
    if (mutant == nullptr) {
        return LockWait::kNoLock;
    }
    DWORD result = WaitForSingleObject(mutant, 0);
    if (result == WAIT_TIMEOUT) {
        waiting();
        result = WaitAnswering(mutant, stopped);
    }
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0) {
        lock = PendingLock{mutant, true};
        return LockWait::kHeld;
    }
    CloseHandle(mutant);
    return result == WAIT_IO_COMPLETION ? LockWait::kStopped : LockWait::kNoLock;
}

void ReleasePendingLock(PendingLock& lock) {
    if (lock.held) {
        ReleaseMutex(lock.mutant);
        CloseHandle(lock.mutant);
    }
    lock = PendingLock{};
}
